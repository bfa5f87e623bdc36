#pragma once
// What the manager reads from the settings file at start-up and writes back
// at exit: the dial-up entry, the four folders (created, but for the data
// folder) and, at exit, the Messages, Agents and DataBase keys.

#include <string>
#include <vector>

#include "store/settings.h"

class TagRas;

namespace manager {

struct StartupSettings {
    store::FolderSettings folders;
    std::vector<std::string> notices;  // lines for the log (an empty key, say)
};

// [RAS] Service goes to the dial-up component unless it is "None"; then the
// folders are read. The messages, agents and templates folders are made
// next with store::CreateManagerFolders, once the globals hold them.
StartupSettings ReadStartupSettings(const store::Settings& settings, TagRas& ras);

// The exit's keys, written only when start-up read the folders: a start
// that failed before never overwrites them with empty paths.

// [Folders] Messages, Agents, DataBase from the globals (Templates is left).
void WriteShutdownSettings(store::Settings& settings, const store::FolderSettings& folders);

}  // namespace manager
