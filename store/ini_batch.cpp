#include "store/ini_batch.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/ini_text.h"
#include "platform/paths.h"
#include "platform/sibling_temp.h"

namespace store {

namespace {

bool breaksLine(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

bool blankName(const std::string& s) { return s.find_first_not_of(" \t") == std::string::npos; }

std::string resolve(const std::string& fileName)
{
    const std::string path = fileName.find('/') == std::string::npos ? platform::ConfigDir() + fileName : fileName;
    if (::access(path.c_str(), F_OK) == 0)
        return path;
    auto variant = platform::FindIgnoreCase(path);
    return variant ? *variant : path;
}

[[noreturn]] void fail(const std::string& path, const std::string& reason)
{
    throw platform::IniFileError("Unable to write to " + path + ": " + reason);
}

// The settings layer locks the file itself with flock; a writer that wakes up
// holding the lock of a file replaced meanwhile tries again on the new one.
class FileLock {
public:
    explicit FileLock(const std::string& path)
    {
        for (;;) {
            fd_ = ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0666);
            if (fd_ < 0)
                fail(path, std::strerror(errno));
            int rc;
            do
                rc = ::flock(fd_, LOCK_EX);
            while (rc != 0 && errno == EINTR);
            if (rc != 0) {
                const int err = errno;
                ::close(fd_);
                fail(path, std::strerror(err));
            }
            struct stat held{}, current{};
            if (::fstat(fd_, &held) == 0 && ::stat(path.c_str(), &current) == 0 &&
                held.st_dev == current.st_dev && held.st_ino == current.st_ino)
                return;
            ::close(fd_);
        }
    }
    ~FileLock() { ::close(fd_); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    std::string read(const std::string& path) const
    {
        std::string bytes;
        char buffer[16384];
        off_t offset = 0;
        for (;;) {
            const ssize_t n = ::pread(fd_, buffer, sizeof buffer, offset);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                fail(path, std::strerror(errno));
            }
            if (n == 0)
                return bytes;
            bytes.append(buffer, static_cast<size_t>(n));
            offset += n;
        }
    }

private:
    int fd_ = -1;
};

}  // namespace

void IniBatch::WriteString(const std::string& section, const std::string& key, const std::string& value)
{
    writes_.push_back({section, key, value});
}

void IniBatch::WriteInteger(const std::string& section, const std::string& key, int value)
{
    WriteString(section, key, std::to_string(value));
}

void IniBatch::WriteBool(const std::string& section, const std::string& key, bool value)
{
    WriteString(section, key, value ? "1" : "0");
}

void IniBatch::Apply(const std::string& fileName) const
{
    const std::string path = resolve(fileName);
    // A line break would turn the rest of a value into a line of its own.
    for (const Write& w : writes_) {
        if (breaksLine(w.section) || w.section.find(']') != std::string::npos || breaksLine(w.key) ||
            w.key.find('=') != std::string::npos || blankName(w.key) || w.key[0] == '[' || w.key[0] == ';' ||
            breaksLine(w.value))
            fail(path, "invalid name or value");
    }
    FileLock lock(path);
    const std::string before = lock.read(path);
    platform::IniText text(before);
    for (const Write& w : writes_)
        text.set(w.section, w.key, w.value);
    const std::string after = text.text();
    if (after == before)
        return;
    try {
        platform::SiblingTempFile temp(path);
        temp.write(after);
        temp.commit();
    } catch (const platform::FileError& e) {
        fail(path, e.what());
    }
}

}  // namespace store
