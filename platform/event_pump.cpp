#include "platform/event_pump.h"

#include <atomic>

namespace platform {

namespace {
std::atomic<EventPump*> installed{nullptr};
}

void setEventPump(EventPump* pump) { installed.store(pump); }

void processPendingEvents()
{
    if (EventPump* pump = installed.load())
        pump->processEvents();
}

bool applicationTerminating()
{
    EventPump* pump = installed.load();
    return pump != nullptr && pump->terminating();
}

PumpThrottle::PumpThrottle(std::chrono::milliseconds interval)
    : interval_(interval), last_(std::chrono::steady_clock::now())
{
}

void PumpThrottle::tick()
{
    // Reading the clock is itself not free: look only every 64th call.
    if ((++calls_ & 63u) != 0)
        return;
    auto now = std::chrono::steady_clock::now();
    if (now - last_ < interval_)
        return;
    last_ = now;
    processPendingEvents();
}

}  // namespace platform
