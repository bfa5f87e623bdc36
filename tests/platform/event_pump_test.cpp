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

TEST(EventPump, ThrottlePumpsOnlyOnceTheIntervalHasPassed)
{
    CountingPump pump;
    platform::setEventPump(&pump);

    platform::PumpThrottle never(std::chrono::hours(1));
    for (int i = 0; i < 100000; ++i)
        never.tick();
    EXPECT_EQ(pump.calls, 0);

    platform::PumpThrottle always(std::chrono::milliseconds(0));
    for (int i = 0; i < 640; ++i)
        always.tick();
    EXPECT_EQ(pump.calls, 10);  // the clock is looked at every 64th call only
    platform::setEventPump(nullptr);
}

}  // namespace
