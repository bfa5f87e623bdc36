#pragma once
// The engine's one exception type. The code is the engine's error number;
// the sx_ calls turn exceptions into their failure answers. A failure about
// one file also carries that file and why, for the text a user acts on.

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>
#include <utility>

namespace xbase {

// The file a failure is about and the reason: the system's text for a call
// that failed ("No space left on device"), or the engine's own for a file it
// cannot use ("not a table: header damaged"). An empty path names no file.
struct FileFault {
    std::string path;
    std::string reason;
};

// The fault of the system call on path that has just failed, from errno.
inline FileFault systemFault(const std::string& path, int error = errno) {
    return FileFault{path, std::strerror(error)};
}

class XbaseError : public std::runtime_error {
public:
    XbaseError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
    XbaseError(int code, const std::string& message, FileFault fault)
        : std::runtime_error(message), code_(code), fault_(std::move(fault)) {}
    int code() const noexcept { return code_; }
    const FileFault& fault() const noexcept { return fault_; }

private:
    int code_;
    FileFault fault_;
};

}  // namespace xbase
