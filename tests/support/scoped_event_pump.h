#pragma once
// Installs an event pump for the life of the object: every time the code
// under test lets pending events run, the test's action runs instead, as a
// window's timer or menu command would in a program.

#include "platform/event_pump.h"

#include <functional>

namespace test_support {

class ScopedEventPump : public platform::EventPump {
public:
    explicit ScopedEventPump(std::function<void()> action);
    ~ScopedEventPump() override;
    ScopedEventPump(const ScopedEventPump&) = delete;
    ScopedEventPump& operator=(const ScopedEventPump&) = delete;

    void processEvents() override;
    bool terminating() const override { return terminating_; }

    // How often the code under test pumped.
    int calls() const { return calls_; }
    // Makes applicationTerminating() answer true.
    void setTerminating(bool value) { terminating_ = value; }

private:
    std::function<void()> action_;
    int calls_ = 0;
    bool terminating_ = false;
};

}  // namespace test_support
