#pragma once
// A picture of post32's real main window on the data folder the settings
// name (the environment is read as post32 reads it): the account tree
// expanded and the first attached agent selected, so its history panel is
// open with its rows.

#include <stdexcept>
#include <string>

namespace tools {

class ShotError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct ShotRequest {
    std::string pngFile;
    int width = 1000;
    int height = 700;
};

// Needs the application object. Throws ShotError, writing nothing, when the
// settings name no data folder, the window could not start cleanly (every
// box it raised is in the text), no agent is attached to any account, the
// agent has no history rows, or the picture cannot be written.
void WriteMainWindowShot(const ShotRequest& request);

}  // namespace tools
