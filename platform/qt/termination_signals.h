#pragma once
// SIGTERM and SIGINT end a program the way its own Close or Exit does, so
// the tables are closed and the settings and log saved when a service
// manager or a desktop session stops it.

#include <QObject>

#include <functional>

namespace platform {

// `onSignal` runs on the GUI thread, from the event loop.
void WatchTerminationSignals(QObject* context, std::function<void()> onSignal);

}  // namespace platform
