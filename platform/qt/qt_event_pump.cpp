#include "platform/qt/qt_event_pump.h"

#include <QCoreApplication>

namespace platform {

void QtEventPump::processEvents()
{
    if (QCoreApplication::instance() == nullptr || QCoreApplication::closingDown())
        return;
    if (gap_.count() > 0) {
        const auto now = std::chrono::steady_clock::now();
        if (now - lastTurn_ < gap_)
            return;
        lastTurn_ = now;
    }
    QCoreApplication::processEvents();
}

bool QtEventPump::terminating() const
{
    return terminating_ || QCoreApplication::closingDown();
}

}  // namespace platform
