#include "platform/stale_temps.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>

namespace platform {

namespace {

constexpr std::size_t kSuffixLength = 6;

}  // namespace

bool IsSiblingTempName(std::string_view name)
{
    // "." + at least one character + "." + the random suffix.
    if (name.size() < 3 + kSuffixLength || name.front() != '.')
        return false;
    const std::size_t dot = name.size() - kSuffixLength - 1;
    if (name[dot] != '.')
        return false;
    for (std::size_t i = dot + 1; i < name.size(); ++i)
        if (!std::isalnum(static_cast<unsigned char>(name[i])))
            return false;
    return true;
}

int RemoveSiblingTemps(const std::string& folder, std::chrono::system_clock::time_point changedBefore,
                       std::string_view targetPrefix)
{
    const std::string base = folder.empty() ? "./" : folder.back() == '/' ? folder : folder + "/";
    DIR* dir = ::opendir(base.c_str());
    if (dir == nullptr)
        return 0;
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        if (!IsSiblingTempName(name) || name.substr(1).substr(0, targetPrefix.size()) != targetPrefix)
            continue;
        const std::string path = base + std::string(name);
        struct stat st{};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        const auto changed = std::chrono::system_clock::time_point(
            std::chrono::duration_cast<std::chrono::system_clock::duration>(
                std::chrono::seconds(st.st_mtim.tv_sec) + std::chrono::nanoseconds(st.st_mtim.tv_nsec)));
        if (changed >= changedBefore)
            continue;
        if (::unlink(path.c_str()) == 0)
            ++removed;
    }
    ::closedir(dir);
    return removed;
}

}  // namespace platform
