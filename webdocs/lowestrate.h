#pragma once
// The lowest rate a server must keep up while it answers: at least a given number of bytes
// in every period (curl's --speed-limit and --speed-time), so a server that drips its
// answer a byte at a time cannot hold the download for as long as it likes.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>

class LowestRate {
public:
    using Clock = std::chrono::steady_clock;

    // From now on at least bytes must come in every period; 0 bytes turns the floor off.
    void start(std::size_t bytes, Clock::duration period, Clock::time_point now);
    void took(std::size_t n, Clock::time_point now);
    // When fewer than the floor will have come in the last period unless more comes
    // first; Clock::time_point::max() while the floor is off.
    Clock::time_point deadline() const;

private:
    struct Arrival {
        Clock::time_point at;
        std::uint64_t total; // received by then, this arrival included
    };
    std::deque<Arrival> recent_; // the arrivals that still count: their total is above total_ - bytes_
    std::uint64_t bytes_ = 0;
    std::uint64_t total_ = 0;
    Clock::duration period_{};
    Clock::time_point started_{};
};
