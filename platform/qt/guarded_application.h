#pragma once
// The application object of the three windowed programs: no exception
// crosses the Qt event loop; whatever an event handler lets escape goes to
// the program's exception handler instead (its status log's AppException).

#include <QApplication>

#include <exception>
#include <functional>

namespace platform {

class GuardedApplication : public QApplication {
public:
    using ExceptionHandler = std::function<void(const std::exception&)>;

    GuardedApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // The handler of the current application; an empty one restores the
    // default, standard error.
    static void setExceptionHandler(ExceptionHandler handler);
    static void handleException(const std::exception& error);
};

// Before the application object exists: with no display (neither DISPLAY
// nor WAYLAND_DISPLAY) and no platform asked for, Qt is told to draw
// offscreen, so the processors run from cron and services.
void PrepareHeadlessEnvironment();

// True when nothing the program shows can be seen (offscreen or minimal
// platform): messages go to the log instead of message boxes.
bool IsHeadless();

}  // namespace platform
