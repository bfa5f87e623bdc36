#include "xbase/cdx/cdx_io.h"

#include <unistd.h>

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
