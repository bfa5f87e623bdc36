#pragma once
// The hook through which Qt-free code lets pending window messages run while
// it waits or works on something long. A windowed program installs a pump
// that turns its event loop; without one, pumping does nothing.

#include <chrono>
#include <cstddef>

namespace platform {

class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void processEvents() = 0;
    // True once the program has begun to end; long loops give up early.
    virtual bool terminating() const { return false; }
};

// Installs the program's pump (nullptr restores the no-op default).
void setEventPump(EventPump* pump);

// Lets pending window messages run through the installed pump.
void processPendingEvents();

// True when the installed pump says the program is ending.
bool applicationTerminating();

// Calls processPendingEvents() at most once per interval, so a loop over a
// 10 MB message can call tick() per line without pumping per line.
class PumpThrottle {
public:
    explicit PumpThrottle(std::chrono::milliseconds interval = std::chrono::milliseconds(20));
    void tick();

private:
    std::chrono::milliseconds interval_;
    std::chrono::steady_clock::time_point last_;
    unsigned calls_ = 0;
};

}  // namespace platform
