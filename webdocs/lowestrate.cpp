#include "webdocs/lowestrate.h"

void LowestRate::start(std::size_t bytes, Clock::duration period, Clock::time_point now)
{
    recent_.clear();
    bytes_ = bytes;
    total_ = 0;
    period_ = period;
    started_ = now;
}

void LowestRate::took(std::size_t n, Clock::time_point now)
{
    if (bytes_ == 0 || n == 0)
        return;
    total_ += n;
    recent_.push_back({now, total_});
    // The last `bytes_` bytes began to arrive with the first arrival that is left.
    while (total_ >= bytes_ && recent_.front().total <= total_ - bytes_)
        recent_.pop_front();
}

LowestRate::Clock::time_point LowestRate::deadline() const
{
    if (bytes_ == 0)
        return Clock::time_point::max();
    if (total_ < bytes_)
        return started_ + period_;
    return recent_.front().at + period_;
}
