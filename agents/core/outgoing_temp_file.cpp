#include "agents/core/outgoing_temp_file.h"

#include <dirent.h>
#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <cctype>
#include <string>

#include "platform/temp_file.h"

namespace agents {

namespace {

bool isMailTempName(const std::string& name)
{
    if (name.size() != 8 || name.compare(0, 2, "ms") != 0)
        return false;
    for (std::size_t i = 2; i < name.size(); ++i)
        if (!std::isalnum(static_cast<unsigned char>(name[i])))
            return false;
    return true;
}

// The temporary folder as the kernel names open files in it.
std::string realTempDir()
{
    char real[PATH_MAX];
    if (::realpath(platform::TempDir().c_str(), real) == nullptr)
        return platform::TempDir();
    std::string folder = real;
    if (folder.back() != '/')
        folder += '/';
    return folder;
}

}  // namespace

int UnlinkOpenMailTempFiles()
{
    const std::string folder = realTempDir();
    DIR* fds = ::opendir("/proc/self/fd");
    if (fds == nullptr)
        return 0;
    int unlinked = 0;
    while (const dirent* entry = ::readdir(fds)) {
        char target[PATH_MAX];
        const std::string link = std::string("/proc/self/fd/") + entry->d_name;
        const ssize_t n = ::readlink(link.c_str(), target, sizeof target - 1);
        if (n <= 0)
            continue;
        const std::string path(target, static_cast<std::size_t>(n));
        if (path.size() <= folder.size() || path.compare(0, folder.size(), folder) != 0)
            continue;
        const std::string name = path.substr(folder.size());
        if (isMailTempName(name) && ::unlink(path.c_str()) == 0)
            ++unlinked;
    }
    ::closedir(fds);
    return unlinked;
}

}  // namespace agents
