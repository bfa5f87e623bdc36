#pragma once
// SIGTERM and SIGINT end a processor the way the tray's Close does, so the
// tables are closed and the log saved when a service manager stops it.

#include <QObject>

#include <functional>

namespace shell {

// `onSignal` runs on the GUI thread, from the event loop.
void WatchTerminationSignals(QObject* context, std::function<void()> onSignal);

}  // namespace shell
