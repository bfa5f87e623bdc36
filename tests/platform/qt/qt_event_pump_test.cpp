#include "platform/qt/qt_event_pump.h"

#include <QCoreApplication>
#include <QTimer>
#include <gtest/gtest.h>

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

}  // namespace
