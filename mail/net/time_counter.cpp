#include "mail/net/time_counter.h"

void TTimeCounter::Start()
{
    // The countdown ticks once a second; a time-out of 0 or less runs out at
    // the first tick.
    int seconds = timeOut_ > 0 ? timeOut_ : 1;
    deadline_ = Clock::now() + std::chrono::seconds(seconds);
    running_ = true;
}

bool TTimeCounter::Expired()
{
    if (running_ && Clock::now() >= deadline_)
        expired_ = true;
    return expired_;
}

int TTimeCounter::Remaining() const
{
    if (!running_)
        return 0;
    auto left = std::chrono::duration_cast<std::chrono::seconds>(deadline_ - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}
