#pragma once
// Counts the waits of this process for X server replies (round trips), and the time spent
// in them, by standing in for libxcb's two waiting calls. The executable must export its
// symbols (ENABLE_EXPORTS) so that libxcb's callers find these first.

#include <cstdint>

struct XWaits {
    std::int64_t count = 0;
    std::int64_t nanoseconds = 0;
};

XWaits xWaitsSoFar();
