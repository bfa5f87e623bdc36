#include "agents/core/file_stamp.h"

#include <sys/stat.h>
#include <time.h>

namespace agents {

std::optional<FileStamp> StampOf(const std::string& path)
{
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return FileStamp{st.st_dev,          st.st_ino,          st.st_size,         st.st_mtim.tv_sec,
                     st.st_mtim.tv_nsec, st.st_ctim.tv_sec,  st.st_ctim.tv_nsec};
}

bool IsSettled(const FileStamp& stamp)
{
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    constexpr long long kMargin = 2;  // seconds, well above any file system's time step
    return stamp.modifiedSeconds + kMargin < now.tv_sec && stamp.changedSeconds + kMargin < now.tv_sec;
}

}  // namespace agents
