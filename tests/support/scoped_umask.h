#pragma once
// Sets the process's umask for one test and puts the old one back when the
// object goes. Programs started meanwhile inherit it.

#include <string>
#include <sys/types.h>

namespace test_support {

class ScopedUmask {
public:
    explicit ScopedUmask(mode_t mask);
    ~ScopedUmask();
    ScopedUmask(const ScopedUmask&) = delete;
    ScopedUmask& operator=(const ScopedUmask&) = delete;

private:
    mode_t old_;
};

// The permission bits of a file or folder (set-id and sticky bits
// included); -1 when it does not exist.
int modeOf(const std::string& path);

}  // namespace test_support
