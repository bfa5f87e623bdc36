#pragma once
// The event pump of a Qt program: lets Qt-free code run pending events while
// it waits, and tells it when the application is going down.

#include "platform/event_pump.h"

#include <atomic>
#include <chrono>

namespace platform {

class QtEventPump : public EventPump {
public:
    // With a gap, a call that comes sooner than the gap after the last turn
    // of the event loop does nothing: code that pumps per log line or per
    // protocol step then pays for one turn per gap, not one per call.
    explicit QtEventPump(std::chrono::microseconds gap = {}) : gap_(gap) {}

    void processEvents() override;
    // True once QCoreApplication is closing down or setTerminating(true).
    bool terminating() const override;
    void setTerminating(bool value) { terminating_ = value; }

private:
    std::chrono::microseconds gap_;
    std::chrono::steady_clock::time_point lastTurn_{};
    std::atomic<bool> terminating_{false};
};

}  // namespace platform
