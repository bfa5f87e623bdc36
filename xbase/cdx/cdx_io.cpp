#include "xbase/cdx/cdx_io.h"

#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>

#include <cerrno>

#include "xbase/cdx/cdx_errors.h"

namespace xbase::cdx {

void writeAll(int fd, const unsigned char* data, size_t n, off_t at, const std::string& path) {
    while (n > 0) {
        const ssize_t w = ::pwrite(fd, data, n, at);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) throwIo(path, "cannot write");
        data += w;
        n -= size_t(w);
        at += w;
    }
}

void writeRun(int fd, const unsigned char* const* pages, size_t count, size_t pageSize, off_t at,
              const std::string& path) {
    constexpr size_t kBatch = 64;   // well under any system's IOV_MAX
    iovec iov[kBatch];
    size_t done = 0;   // whole pages written
    while (done < count) {
        const size_t n = std::min(kBatch, count - done);
        for (size_t i = 0; i < n; ++i) iov[i] = {const_cast<unsigned char*>(pages[done + i]), pageSize};
        const ssize_t w = ::pwritev(fd, iov, int(n), at + off_t(done * pageSize));
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) throwIo(path, "cannot write");
        const size_t whole = size_t(w) / pageSize;
        const size_t part = size_t(w) % pageSize;
        done += whole;
        if (part != 0) {   // a short write ends inside a page: its rest goes on its own
            writeAll(fd, pages[done] + part, pageSize - part, at + off_t(done * pageSize + part), path);
            ++done;
        }
    }
}

size_t readUpTo(int fd, unsigned char* data, size_t n, off_t at, const std::string& path) {
    size_t got = 0;
    while (got < n) {
        const ssize_t r = ::pread(fd, data + got, n - got, at + off_t(got));
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) throwIo(path, "cannot read");
        if (r == 0) break;
        got += size_t(r);
    }
    return got;
}

}  // namespace xbase::cdx
