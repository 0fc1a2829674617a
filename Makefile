# The two commands of the README: `make run` and `make check`.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run check package bench clean

all: build

deps:
	scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	scripts/run-demo $(BUILD)

check: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

package: build
	cmake --build $(BUILD) --target package

bench: deps
	scripts/install-deps --bench
	cmake -S . -B $(BUILD)-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DPRISLISTE_BENCH=ON
	cmake --build $(BUILD)-bench -j $(JOBS)

clean:
	rm -rf $(BUILD) $(BUILD)-bench
