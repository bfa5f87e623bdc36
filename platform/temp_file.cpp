#include "platform/temp_file.h"

#include "platform/error.h"
#include "platform/files.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace platform {

std::string TempDir()
{
    const char* env = std::getenv("TMPDIR");
    std::string dir = env != nullptr && *env != '\0' ? env : "/tmp";
    if (dir.back() != '/')
        dir += '/';
    return dir;
}

TempFile::TempFile()
{
    const std::string pattern = TempDir() + "msXXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    fd_ = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd_ < 0) {
        const int err = errno;
        throw FileError("Cannot create file " + pattern + ": " + std::strerror(err));
    }
    // mkostemp makes it 0600 less the umask; the owner keeps both bits.
    ::fchmod(fd_, kPrivateFileMode);
    path_ = name.data();
}

TempFile::~TempFile() { release(); }

TempFile::TempFile(TempFile&& other) noexcept
    : path_(std::move(other.path_)), fd_(std::exchange(other.fd_, -1))
{
}

TempFile& TempFile::operator=(TempFile&& other) noexcept
{
    if (this != &other) {
        release();
        path_ = std::move(other.path_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

void TempFile::release()
{
    if (fd_ < 0)
        return;
    ::close(fd_);
    fd_ = -1;
    ::unlink(path_.c_str());
}

}  // namespace platform
