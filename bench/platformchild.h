#pragma once
// Benchmarks that measure windows run once per Qt platform, each in a child process of
// their own (a Qt process keeps the platform it started with).

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

// Runs this program again with arguments under QT_QPA_PLATFORM=platform (and DISPLAY when
// display is not empty) and waits for it; exits when it fails.
void runOnPlatform(const char* platform, const std::string& display, const std::vector<std::string>& arguments);

// Timings of one side: q = 0 the least, 0.5 the median, 1 the most.
struct Spread {
    std::vector<double> values;
    double at(double q) const
    {
        std::vector<double> sorted = values;
        std::sort(sorted.begin(), sorted.end());
        return sorted[std::size_t(q * double(sorted.size() - 1) + 0.5)];
    }
};
