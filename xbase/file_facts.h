#pragma once
// A file's identity, size and link count, asked without its times. Asking
// for a file's times makes the system stamp its next change with a finer
// clock, which costs that write an update of the file's inode; the engine
// asks for times only where it compares them.

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace xbase {

struct FileFacts {
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    nlink_t links = 0;
};

namespace file_facts_detail {
inline FileFacts from(const struct statx& sx) {
    return FileFacts{makedev(sx.stx_dev_major, sx.stx_dev_minor), ino_t(sx.stx_ino), off_t(sx.stx_size),
                     nlink_t(sx.stx_nlink)};
}
constexpr unsigned kMask = STATX_INO | STATX_SIZE | STATX_NLINK;
}  // namespace file_facts_detail

// False (errno set) when the file cannot be asked.
inline bool factsOf(const char* path, FileFacts& out) {
    struct statx sx {};
    if (::statx(AT_FDCWD, path, 0, file_facts_detail::kMask, &sx) != 0) return false;
    out = file_facts_detail::from(sx);
    return true;
}

inline bool factsOf(int fd, FileFacts& out) {
    struct statx sx {};
    if (::statx(fd, "", AT_EMPTY_PATH, file_facts_detail::kMask, &sx) != 0) return false;
    out = file_facts_detail::from(sx);
    return true;
}

}  // namespace xbase
