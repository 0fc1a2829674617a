#pragma once
// One side of a benchmark's comparison run in a child process, so that its peak resident
// size is its own; and the spread of a side's timings.

#include <functional>
#include <vector>

struct ChildRun {
    std::vector<double> values; // what the side returned (its own timings)
    long peakKiB = 0;           // peak resident size of the child
    double cpuSeconds = 0;      // the child's user + system time
};

// Runs side in a forked child and collects what it returns (at most 16 values).
ChildRun inChild(const std::function<std::vector<double>()>& side);

// Minimum, median and maximum.
struct Spread {
    double min, median, max;
};
Spread spreadOf(std::vector<double> values);
