// tarsel-screenshot FILE.png [--size WIDTHxHEIGHT]: writes a picture of
// post32's main window, drawn offscreen, on the data folder of the
// environment's settings, with the first attached agent's history shown.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "platform/qt/guarded_application.h"
#include "tools/screenshot/main_window_shot.h"

namespace {

int usage()
{
    std::fprintf(stderr,
                 "usage: tarsel-screenshot FILE.png [--size WIDTHxHEIGHT]\n"
                 "  The data folder is the one post32 would open ($TARSEL_CONFIG_DIR, $TARSEL_HOME).\n");
    return 2;
}

bool readSize(const std::string& text, tools::ShotRequest& request)
{
    int width = 0;
    int height = 0;
    char end = 0;
    if (std::sscanf(text.c_str(), "%dx%d%c", &width, &height, &end) != 2 || width < 200 || height < 200 ||
        width > 4000 || height > 4000)
        return false;
    request.width = width;
    request.height = height;
    return true;
}

bool readArguments(int argc, char** argv, tools::ShotRequest& request)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--size") {
            if (i + 1 >= argc || !readSize(argv[++i], request))
                return false;
        } else if (!arg.empty() && arg[0] != '-' && request.pngFile.empty()) {
            request.pngFile = arg;
        } else {
            return false;
        }
    }
    return !request.pngFile.empty();
}

}  // namespace

int main(int argc, char** argv)
{
    tools::ShotRequest request;
    if (!readArguments(argc, argv, request))
        return usage();
    // A picture needs no display.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    platform::GuardedApplication app(argc, argv);
    try {
        tools::WriteMainWindowShot(request);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tarsel-screenshot: %s\n", e.what());
        return 1;
    }
    std::printf("Written: %s (%dx%d)\n", request.pngFile.c_str(), request.width, request.height);
    return 0;
}
