#pragma once
// A file descriptor that is closed when the object goes, on every way out
// of the code that opened it.

#include <unistd.h>

namespace platform {

struct ScopedFd {
    int fd;  // -1: none; the owner may close it and store another
    explicit ScopedFd(int opened) : fd(opened) {}
    ~ScopedFd()
    {
        if (fd >= 0)
            ::close(fd);
    }
    ScopedFd(const ScopedFd&) = delete;
    ScopedFd& operator=(const ScopedFd&) = delete;
};

}  // namespace platform
