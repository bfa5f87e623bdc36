#include "platform/paths.h"

#include "platform/files.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

// An empty variable counts as unset, as the XDG rules say.
std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

std::string withSlash(std::string path)
{
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
}

std::string homeDir()
{
    std::string home = environment("HOME");
    if (!home.empty())
        return home;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found)
        return found->pw_dir;
    return "/tmp";
}

}  // namespace

std::string ConfigDir()
{
    std::string dir = environment("TARSEL_CONFIG_DIR");
    if (dir.empty()) {
        const std::string xdg = environment("XDG_CONFIG_HOME");
        dir = (xdg.empty() ? withSlash(homeDir()) + ".config" : xdg) + "/tarsel";
    }
    dir = withSlash(dir);
    ForceDirectories(dir);
    return dir;
}

std::string ProgramDir()
{
    std::string dir = environment("TARSEL_HOME");
    if (dir.empty()) {
        const std::string xdg = environment("XDG_DATA_HOME");
        dir = (xdg.empty() ? withSlash(homeDir()) + ".local/share" : xdg) + "/tarsel";
    }
    return withSlash(dir);
}

std::string CacheDir()
{
    const std::string xdg = environment("XDG_CACHE_HOME");
    return withSlash((xdg.empty() ? withSlash(homeDir()) + ".cache" : xdg) + "/tarsel");
}

std::string ExecutableDir()
{
    std::vector<char> buffer(4096);
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0)
        return "./";
    std::string path(buffer.data(), static_cast<size_t>(n));
    return path.substr(0, path.rfind('/') + 1);
}

std::string FindAsset(const std::string& name)
{
    const std::string exeDir = ExecutableDir();
    std::vector<std::string> folders{exeDir, exeDir + "../share/tarsel/"};
    std::string dataDirs = environment("XDG_DATA_DIRS");
    if (dataDirs.empty())
        dataDirs = "/usr/local/share:/usr/share";
    size_t pos = 0;
    while (pos <= dataDirs.size()) {
        size_t end = dataDirs.find(':', pos);
        if (end == std::string::npos)
            end = dataDirs.size();
        if (end > pos)
            folders.push_back(withSlash(dataDirs.substr(pos, end - pos)) + "tarsel/");
        pos = end + 1;
    }
    for (const std::string& folder : folders) {
        if (auto found = FindIgnoreCase(folder + name); found && FileExists(*found))
            return *found;
    }
    return {};
}

}  // namespace platform
