#include "retriever/shell/leftover_temps.h"

#include <dirent.h>

#include <vector>

#include "platform/stale_temps.h"
#include "store/folder_tree.h"

namespace shell {

namespace {

std::vector<std::string> subfolders(const std::string& folder)
{
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != ".." && (entry->d_type == DT_DIR || entry->d_type == DT_UNKNOWN))
            names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

}  // namespace

int RemoveLeftoverMailTemps(const std::string& messagesFolder, std::chrono::system_clock::time_point start)
{
    int removed = 0;
    for (const std::string& account : subfolders(messagesFolder)) {
        removed += platform::RemoveSiblingTemps(store::PendingFolder(messagesFolder, account), start);
        removed += platform::RemoveSiblingTemps(store::ReceivedFolder(messagesFolder, account), start);
    }
    return removed;
}

}  // namespace shell
