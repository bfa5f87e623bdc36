#include "tests/support/scoped_event_pump.h"

namespace test_support {

ScopedEventPump::ScopedEventPump(std::function<void()> action) : action_(std::move(action))
{
    platform::setEventPump(this);
}

ScopedEventPump::~ScopedEventPump() { platform::setEventPump(nullptr); }

void ScopedEventPump::processEvents()
{
    ++calls_;
    if (action_)
        action_();
}

}  // namespace test_support
