#include "platform/log_journal.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>

#include "platform/error.h"
#include "platform/files.h"

namespace platform {

namespace {

const std::string kHeader = "TARSEL-LOG-JOURNAL ";

std::string newId()
{
    std::random_device device;
    std::mt19937_64 generator((static_cast<unsigned long long>(device()) << 32) ^ device() ^
                              static_cast<unsigned long long>(::getpid()));
    static const char digits[] = "0123456789abcdef";
    std::string id(16, '0');
    unsigned long long value = generator();
    for (char& c : id) {
        c = digits[value & 0xF];
        value >>= 4;
    }
    return id;
}

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

}  // namespace

LogJournal::~LogJournal() { Close(); }

void LogJournal::Create(const std::string& path)
{
    Close();
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
    if (fd_ < 0)
        throw FileError("Cannot create file " + path + ": " + std::strerror(errno));
    id_ = newId();
    if (!writeAll(fd_, kHeader + id_ + "\n")) {
        const int err = errno;
        Close();
        throw FileError("Unable to write to " + path + ": " + std::strerror(err));
    }
}

bool LogJournal::Append(std::string_view line)
{
    if (fd_ < 0)
        return false;
    // One write per line: a kill lands before it or after it.
    return writeAll(fd_, EscapeJournalLine(line) + "\n");
}

void LogJournal::Close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

JournalContents ReadJournal(const std::string& path)
{
    JournalContents out;
    if (!FileExists(path))
        return out;
    const std::string bytes = ReadWholeFile(path);
    std::size_t pos = 0;
    if (bytes.compare(0, kHeader.size(), kHeader) == 0) {
        const std::size_t end = bytes.find('\n');
        out.id = bytes.substr(kHeader.size(), end == std::string::npos ? std::string::npos : end - kHeader.size());
        pos = end == std::string::npos ? bytes.size() : end + 1;
    }
    while (pos < bytes.size()) {
        std::size_t end = bytes.find('\n', pos);
        const std::size_t next = end == std::string::npos ? bytes.size() : end + 1;
        if (end == std::string::npos)
            end = bytes.size();
        out.lines.push_back(UnescapeJournalLine(std::string_view(bytes).substr(pos, end - pos)));
        out.ends.push_back(next);
        pos = next;
    }
    return out;
}

std::string EscapeJournalLine(std::string_view line)
{
    std::string out;
    out.reserve(line.size() + 1);
    for (char c : line) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

std::string UnescapeJournalLine(std::string_view line)
{
    std::string out;
    out.reserve(line.size());
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '\\' || i + 1 == line.size()) {
            out += line[i];
            continue;
        }
        const char next = line[++i];
        out += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return out;
}

}  // namespace platform
