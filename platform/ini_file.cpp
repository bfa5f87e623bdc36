#include "platform/ini_file.h"

#include "platform/error.h"
#include "platform/files.h"
#include "platform/ini_text.h"
#include "platform/paths.h"
#include "platform/sibling_temp.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

std::string trimmed(const std::string& s)
{
    const size_t first = s.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

}  // namespace

bool ParseIniInteger(const std::string& text, int& out)
{
    const std::string s = trimmed(text);
    size_t pos = 0;
    bool negative = false;
    if (pos < s.size() && (s[pos] == '-' || s[pos] == '+'))
        negative = s[pos++] == '-';
    int base = 10;
    if (s.compare(pos, 2, "0x") == 0 || s.compare(pos, 2, "0X") == 0) {
        base = 16;
        pos += 2;
    } else if (pos < s.size() && s[pos] == '$') {
        base = 16;
        ++pos;
    }
    if (pos >= s.size())
        return false;
    long long value = 0;
    for (; pos < s.size(); ++pos) {
        const char c = s[pos];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        value = value * base + digit;
        if (value > 0xFFFFFFFFLL)
            return false;
    }
    if (negative)
        value = -value;
    // Hexadecimal text may spell a negative number by its bit pattern.
    if (base == 16 && value > INT_MAX && value <= 0xFFFFFFFFLL)
        value -= 0x100000000LL;
    if (value < INT_MIN || value > INT_MAX)
        return false;
    out = static_cast<int>(value);
    return true;
}

namespace {

bool breaksLine(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

// Keeps the file locked from reading its text to replacing it. The lock is
// taken on the file itself; since a writer replaces the file, a waiter that
// wakes up holding the lock of a replaced file tries again on the new one.
class WriteLock {
public:
    explicit WriteLock(const std::string& path)
    {
        for (;;) {
            fd_ = ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0666);
            if (fd_ < 0)
                fail(path);
            int rc;
            do
                rc = ::flock(fd_, LOCK_EX);
            while (rc != 0 && errno == EINTR);
            if (rc != 0) {
                const int err = errno;
                ::close(fd_);
                errno = err;
                fail(path);
            }
            struct stat held{}, current{};
            if (::fstat(fd_, &held) == 0 && ::stat(path.c_str(), &current) == 0 &&
                held.st_dev == current.st_dev && held.st_ino == current.st_ino)
                return;
            ::close(fd_);
        }
    }
    ~WriteLock() { ::close(fd_); }
    WriteLock(const WriteLock&) = delete;
    WriteLock& operator=(const WriteLock&) = delete;

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
                fail(path);
            }
            if (n == 0)
                return bytes;
            bytes.append(buffer, static_cast<size_t>(n));
            offset += n;
        }
    }

private:
    [[noreturn]] static void fail(const std::string& path)
    {
        const int err = errno;
        throw IniFileError("Unable to write to " + path + ": " + std::strerror(err));
    }
    int fd_ = -1;
};

void modify(const std::string& path, const std::function<void(IniText&)>& change)
{
    WriteLock lock(path);
    const std::string before = lock.read(path);
    IniText text(before);
    change(text);
    const std::string after = text.text();
    if (after == before)
        return;
    try {
        SiblingTempFile temp(path);
        temp.write(after);
        temp.commit();
    } catch (const FileError& e) {
        throw IniFileError("Unable to write to " + path + ": " + e.what());
    }
}

}  // namespace

IniFile::IniFile(const std::string& fileName)
    : path_(fileName.find('/') == std::string::npos ? ConfigDir() + fileName : fileName)
{
}

std::string IniFile::existingPath() const
{
    if (::access(path_.c_str(), F_OK) == 0)
        return path_;
    auto variant = FindIgnoreCase(path_);
    return variant ? *variant : path_;
}

std::string IniFile::load() const
{
    try {
        return ReadWholeFile(existingPath());
    } catch (const FileError&) {
        return {};  // a missing or unreadable file holds no keys
    }
}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& defaultValue) const
{
    auto value = IniText(load()).value(section, key);
    return value ? *value : defaultValue;
}

int IniFile::ReadInteger(const std::string& section, const std::string& key, int defaultValue) const
{
    int value;
    return ParseIniInteger(ReadString(section, key, {}), value) ? value : defaultValue;
}

bool IniFile::ReadBool(const std::string& section, const std::string& key, bool defaultValue) const
{
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void IniFile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value)
{
    WriteValues({{section, key, value}});
}

void IniFile::WriteValues(const std::vector<IniWrite>& writes)
{
    // A line break would make the rest of the value a line of its own: a key
    // or section of its own the next time the file is read.
    for (const IniWrite& w : writes) {
        if (breaksLine(w.section) || w.section.find(']') != std::string::npos || breaksLine(w.key) ||
            w.key.find('=') != std::string::npos || trimmed(w.key).empty() || trimmed(w.key)[0] == '[' ||
            trimmed(w.key)[0] == ';' || breaksLine(w.value))
            throw IniFileError("Unable to write to " + path_ + ": invalid name or value");
    }
    modify(existingPath(), [&](IniText& text) {
        for (const IniWrite& w : writes)
            text.set(w.section, w.key, w.value);
    });
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, int value)
{
    WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(const std::string& section, const std::string& key, bool value)
{
    WriteString(section, key, value ? "1" : "0");
}

std::vector<std::string> IniFile::ReadSection(const std::string& section) const
{
    return IniText(load()).keys(section);
}

bool IniFile::SectionExists(const std::string& section) const
{
    return IniText(load()).hasSection(section);
}

bool IniFile::ValueExists(const std::string& section, const std::string& key) const
{
    return IniText(load()).value(section, key).has_value();
}

void IniFile::DeleteKey(const std::string& section, const std::string& key)
{
    if (FileExists(existingPath()))
        modify(existingPath(), [&](IniText& text) { text.removeKey(section, key); });
}

void IniFile::EraseSection(const std::string& section)
{
    if (FileExists(existingPath()))
        modify(existingPath(), [&](IniText& text) { text.removeSection(section); });
}

}  // namespace platform
