#include "platform/qt/guarded_application.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace platform {

namespace {

GuardedApplication::ExceptionHandler& handlerSlot()
{
    static GuardedApplication::ExceptionHandler handler;
    return handler;
}

bool isSet(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value;
}

}  // namespace

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        handleException(error);
    } catch (...) {
        handleException(std::runtime_error("Unknown exception"));
    }
    return false;
}

void GuardedApplication::setExceptionHandler(ExceptionHandler handler) { handlerSlot() = std::move(handler); }

void GuardedApplication::handleException(const std::exception& error)
{
    try {
        if (handlerSlot()) {
            handlerSlot()(error);
            return;
        }
    } catch (...) {
        // The handler itself failed; fall back to standard error.
    }
    std::fprintf(stderr, "%s\n", error.what());
}

void PrepareHeadlessEnvironment()
{
    if (isSet("QT_QPA_PLATFORM"))
        return;
    if (!isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

bool IsHeadless()
{
    const QString name = QGuiApplication::platformName();
    return name == QLatin1String("offscreen") || name == QLatin1String("minimal");
}

}  // namespace platform
