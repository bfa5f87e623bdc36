#include "platform/qt/qt_event_pump.h"

#include <QCoreApplication>

namespace platform {

void QtEventPump::processEvents()
{
    if (QCoreApplication::instance() != nullptr && !QCoreApplication::closingDown())
        QCoreApplication::processEvents();
}

bool QtEventPump::terminating() const
{
    return terminating_ || QCoreApplication::closingDown();
}

}  // namespace platform
