#include "tests/support/scoped_umask.h"

#include <sys/stat.h>

namespace test_support {

ScopedUmask::ScopedUmask(mode_t mask) : old_(::umask(mask)) {}

ScopedUmask::~ScopedUmask() { ::umask(old_); }

int modeOf(const std::string& path)
{
    struct stat st{};
    if (::lstat(path.c_str(), &st) != 0)
        return -1;
    return static_cast<int>(st.st_mode & 07777);
}

}  // namespace test_support
