#include "platform/event_pump.h"

#include <gtest/gtest.h>
#include <thread>

namespace {

struct CountingPump : platform::EventPump {
    int calls = 0;
    bool ending = false;
    void processEvents() override { ++calls; }
    bool terminating() const override { return ending; }
};

TEST(EventPump, DefaultIsANoOpAndInstalledPumpIsCalled)
{
    platform::setEventPump(nullptr);
    platform::processPendingEvents();
    EXPECT_FALSE(platform::applicationTerminating());

    CountingPump pump;
    platform::setEventPump(&pump);
    platform::processPendingEvents();
    pump.ending = true;
    EXPECT_EQ(pump.calls, 1);
    EXPECT_TRUE(platform::applicationTerminating());
    platform::setEventPump(nullptr);
}

TEST(EventPump, ThrottleLimitsPumpingOfATightLoop)
{
    CountingPump pump;
    platform::setEventPump(&pump);
    platform::PumpThrottle throttle(std::chrono::milliseconds(50));
    for (int i = 0; i < 100000; ++i)
        throttle.tick();
    EXPECT_LE(pump.calls, 2);  // a tight loop runs well under 100 ms

    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    for (int i = 0; i < 64; ++i)
        throttle.tick();
    EXPECT_GE(pump.calls, 1);
    platform::setEventPump(nullptr);
}

}  // namespace
