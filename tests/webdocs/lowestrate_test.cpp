#include "webdocs/lowestrate.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace std::chrono_literals;

TEST(LowestRateTest, DeadlineIsWhenTheLastPeriodWouldHoldTooLittle)
{
    using Clock = LowestRate::Clock;
    const Clock::time_point t0{};
    struct Case {
        const char* name;
        std::vector<std::pair<int, std::size_t>> arrivals; // milliseconds after the start, bytes
        int deadlineMs;
    } cases[] = {
        {"nothing yet", {}, 30000},
        {"too little in the first period", {{1000, 100}, {20000, 923}}, 30000},
        {"the floor in one piece", {{5000, 1024}}, 35000},
        {"the floor reached in two pieces", {{5000, 1000}, {8000, 24}}, 35000},
        {"older bytes no longer count", {{1000, 1024}, {20000, 1024}}, 50000},
        {"a drip of a byte a second", {{1000, 1}, {2000, 1}, {3000, 1}}, 30000},
        {"steady pieces: the oldest of the last floor's bytes decides", {{0, 512}, {10000, 512}, {20000, 512}}, 40000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LowestRate rate;
        rate.start(1024, 30s, t0);
        for (const auto& [ms, n] : c.arrivals)
            rate.took(n, t0 + std::chrono::milliseconds(ms));
        EXPECT_EQ(rate.deadline(), t0 + std::chrono::milliseconds(c.deadlineMs));
    }
}

TEST(LowestRateTest, FloorOfNothingNeverEnds)
{
    LowestRate rate;
    EXPECT_EQ(rate.deadline(), LowestRate::Clock::time_point::max()); // not started
    rate.start(0, 30s, LowestRate::Clock::now());
    rate.took(5, LowestRate::Clock::now());
    EXPECT_EQ(rate.deadline(), LowestRate::Clock::time_point::max());
}
