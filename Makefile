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

# The package's own build tree: the distribution's hardening flags, no password inside.
package: configure
	scripts/build-package . $(BUILD)-package $(BUILD) $(BUILD)

bench: deps
	scripts/install-deps --bench
	cmake -S . -B $(BUILD)-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DPRISLISTE_BENCH=ON
	cmake --build $(BUILD)-bench -j $(JOBS)

.PHONY: check-sanitize
# The whole suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer: any
# report ends its test with a failure. The mingw syntax checks and the package checks are
# left to `check`.
SANITIZE = -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer
SANITIZE_ENV = ASAN_OPTIONS=halt_on_error=1:exitcode=23:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_string_checks=1 \
	UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1:exitcode=23

check-sanitize: deps
	cmake -S . -B $(BUILD)-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DCMAKE_CXX_FLAGS="-O1 $(SANITIZE)" -DCMAKE_EXE_LINKER_FLAGS="$(SANITIZE)"
	cmake --build $(BUILD)-asan -j $(JOBS)
	cd $(BUILD)-asan && $(SANITIZE_ENV) ctest --output-on-failure -j $(JOBS) -E '^(windows_compile|package)_'

clean:
	rm -rf $(BUILD) $(BUILD)-bench $(BUILD)-asan $(BUILD)-package
