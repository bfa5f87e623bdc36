#pragma once
// One socket descriptor, shared by the component and every wait that uses
// it. Closing a connection shuts it down at once, so the peer sees the end,
// but the descriptor itself is released only when the last wait lets go: a
// cancel from inside a wait never hands the number to another socket while
// the outer wait still polls it.

#include <sys/socket.h>
#include <unistd.h>

namespace mail::net {

class SocketHandle {
public:
    explicit SocketHandle(int fd) : fd_(fd) {}
    ~SocketHandle()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    SocketHandle(const SocketHandle&) = delete;
    SocketHandle& operator=(const SocketHandle&) = delete;

    int fd() const { return fd_; }
    void shutdownNow() { ::shutdown(fd_, SHUT_RDWR); }

private:
    int fd_;
};

}  // namespace mail::net
