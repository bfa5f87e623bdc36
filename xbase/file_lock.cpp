#include "xbase/file_lock.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

namespace xbase {

namespace {

bool tryLock(int fd, int64_t start, int64_t length, short type) {
    struct flock fl {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = start;
    fl.l_len = length;
    fl.l_pid = 0;
    while (fcntl(fd, F_OFD_SETLK, &fl) != 0) {
        if (errno != EINTR) return false;
    }
    return true;
}

}  // namespace

bool lockRange(int fd, int64_t start, int64_t length, bool exclusive, int timeoutMs) {
    const short type = exclusive ? F_WRLCK : F_RDLCK;
    if (tryLock(fd, start, length, type)) return true;
    // Polling rather than F_OFD_SETLKW: a blocking wait cannot time out
    // without signals, and lock holds here last milliseconds.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    auto pause = std::chrono::microseconds(200);
    while (std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(pause);
        if (tryLock(fd, start, length, type)) return true;
        if (pause < std::chrono::milliseconds(5)) pause *= 2;
    }
    return false;
}

void unlockRange(int fd, int64_t start, int64_t length) {
    tryLock(fd, start, length, F_UNLCK);
}

RangeLock& RangeLock::operator=(RangeLock&& other) noexcept {
    if (this != &other) {
        release();
        fd_ = other.fd_;
        start_ = other.start_;
        length_ = other.length_;
        other.fd_ = -1;
    }
    return *this;
}

void RangeLock::release() {
    if (fd_ >= 0) unlockRange(fd_, start_, length_);
    fd_ = -1;
}

}  // namespace xbase
