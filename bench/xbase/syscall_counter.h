#pragma once
// Counts the system calls this thread makes while it runs, through the
// kernel's syscall-entry tracepoint. When not wanted, or where the machine
// does not offer it (no tracefs, or perf events refused), the counter stays
// unavailable and the benchmarks report no count.

#include <linux/perf_event.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <string>

class SyscallCounter {
public:
    explicit SyscallCounter(bool wanted) {
        if (!wanted) return;
        uint64_t id = 0;
        for (const char* root : {"/sys/kernel/tracing", "/sys/kernel/debug/tracing"}) {
            std::ifstream in(std::string(root) + "/events/raw_syscalls/sys_enter/id");
            if (in >> id) break;
        }
        if (id == 0) return;
        perf_event_attr attr{};
        attr.type = PERF_TYPE_TRACEPOINT;
        attr.size = sizeof attr;
        attr.config = id;
        attr.disabled = 1;
        attr.exclude_hv = 1;
        fd_ = static_cast<int>(::syscall(SYS_perf_event_open, &attr, 0, -1, -1, 0));
    }
    ~SyscallCounter() {
        if (fd_ >= 0) ::close(fd_);
    }
    SyscallCounter(const SyscallCounter&) = delete;
    SyscallCounter& operator=(const SyscallCounter&) = delete;

    bool available() const { return fd_ >= 0; }
    // Counting runs only between start() and stop(); the calls of these two
    // themselves are not counted.
    void start() {
        if (fd_ < 0 || running_) return;
        ::ioctl(fd_, PERF_EVENT_IOC_ENABLE, 0);
        running_ = true;
    }
    void stop() {
        if (fd_ < 0 || !running_) return;
        ::ioctl(fd_, PERF_EVENT_IOC_DISABLE, 0);
        running_ = false;
        ++stops_;   // that call entered the kernel while counting
    }
    uint64_t count() const {
        uint64_t n = 0;
        if (fd_ < 0 || ::read(fd_, &n, sizeof n) != sizeof n) return 0;
        return n > stops_ ? n - stops_ : 0;
    }

private:
    int fd_ = -1;
    bool running_ = false;
    uint64_t stops_ = 0;
};
