#pragma once
// The event pump of a Qt program: lets Qt-free code run pending events while
// it waits, and tells it when the application is going down.

#include "platform/event_pump.h"

#include <atomic>

namespace platform {

class QtEventPump : public EventPump {
public:
    void processEvents() override;
    // True once QCoreApplication is closing down or setTerminating(true).
    bool terminating() const override;
    void setTerminating(bool value) { terminating_ = value; }

private:
    std::atomic<bool> terminating_{false};
};

}  // namespace platform
