#include "platform/qt/qt_event_pump.h"

#include <QCoreApplication>
#include <QTimer>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

TEST(QtEventPump, RunsQueuedEventsAndReportsTheEnd)
{
    platform::QtEventPump pump;
    platform::setEventPump(&pump);
    platform::processPendingEvents();  // no application yet: nothing to do, no crash

    int argc = 1;
    char name[] = "platform_qt_tests";
    char* argv[] = {name, nullptr};
    {
        QCoreApplication app(argc, argv);
        bool ran = false;
        QTimer::singleShot(0, &app, [&] { ran = true; });
        for (int i = 0; i < 100 && !ran; ++i)
            platform::processPendingEvents();
        EXPECT_TRUE(ran);
        EXPECT_FALSE(platform::applicationTerminating());
        pump.setTerminating(true);
        EXPECT_TRUE(platform::applicationTerminating());
    }
    platform::setEventPump(nullptr);
}

// With a gap, calls that come sooner than the gap after a turn of the event
// loop run nothing; the first call after it runs what waited.
TEST(QtEventPump, WithAGapTurnsTheLoopOncePerGap)
{
    platform::QtEventPump pump(std::chrono::milliseconds(200));
    platform::setEventPump(&pump);
    int argc = 1;
    char name[] = "platform_qt_tests";
    char* argv[] = {name, nullptr};
    {
        QCoreApplication app(argc, argv);
        platform::processPendingEvents();
        const auto turned = std::chrono::steady_clock::now();
        int ran = 0;
        QTimer::singleShot(0, &app, [&] { ++ran; });
        for (int i = 0; i < 20; ++i)
            platform::processPendingEvents();
        if (std::chrono::steady_clock::now() - turned < std::chrono::milliseconds(200)) {
            EXPECT_EQ(ran, 0);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(210));
        platform::processPendingEvents();
        EXPECT_EQ(ran, 1);
    }
    platform::setEventPump(nullptr);
}

}  // namespace
