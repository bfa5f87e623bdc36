#pragma once
// The countdown every network and dial-up wait uses: a number of whole
// seconds, an expired mark that only the owner's reset clears.

#include <chrono>

class TTimeCounter {
public:
    int TimeOut() const { return timeOut_; }
    void SetTimeOut(int seconds) { timeOut_ = seconds; }

    // Starts (or restarts) the countdown; an expired mark stays set.
    void Start();
    void Stop() { running_ = false; }
    bool Running() const { return running_; }

    // True once a started countdown has run out (checked against the clock).
    bool Expired();
    void ClearExpired() { expired_ = false; }

    // Whole seconds left, 0 once run out or stopped.
    int Remaining() const;

private:
    using Clock = std::chrono::steady_clock;
    int timeOut_ = 60;
    bool running_ = false;
    bool expired_ = false;
    Clock::time_point deadline_{};
};
