#pragma once
// Where the programs keep their files. All three programs use these, so they
// find the same settings file and the same default folders.

#include <string>

namespace platform {

// Folder of "tarsel.ini" and "MAIL.INI": $TARSEL_CONFIG_DIR, else
// $XDG_CONFIG_HOME/tarsel, else ~/.config/tarsel. Created when missing
// (a failure shows later, when a file in it is written). Ends with "/".
std::string ConfigDir();

// Default base of the data, messages, agents, templates, logs and "temp/"
// folders: $TARSEL_HOME, else $XDG_DATA_HOME/tarsel, else
// ~/.local/share/tarsel. Ends with "/"; not created here.
std::string ProgramDir();

// The user's cache folder for the programs, the base of the private folders
// that message windows write attachments to: $XDG_CACHE_HOME/tarsel, else
// ~/.cache/tarsel. Ends with "/"; not created here.
std::string CacheDir();

// Folder of the running executable, ending with "/".
std::string ExecutableDir();

// A read-only file shipped with the programs (sounds, images), found beside
// the executable, then in <executable>/../share/tarsel/, then in tarsel/ of
// each $XDG_DATA_DIRS folder (default /usr/local/share:/usr/share); the name
// is matched without regard to case. Empty when not found.
std::string FindAsset(const std::string& name);

}  // namespace platform
