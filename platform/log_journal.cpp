#include "platform/log_journal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>

#include "platform/error.h"
#include "platform/files.h"

namespace platform {

namespace {

const std::string kHeader = "TARSEL-LOG-JOURNAL ";
constexpr std::size_t kJournalBlock = 64 * 1024;

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
    fd_ = CreatePrivateFile(path, O_WRONLY | O_APPEND);
    if (fd_ < 0 && errno == EEXIST)
        fd_ = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_APPEND | O_CLOEXEC);
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

JournalExtent ReadJournalExtent(const std::string& path)
{
    JournalExtent out;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return out;
        throw FileError("Cannot open file " + path + ": " + std::strerror(errno));
    }
    struct stat st{};
    ::fstat(fd, &st);
    out.size = static_cast<std::size_t>(st.st_size);
    std::string start(kHeader.size() + 64, '\0');
    const ssize_t n = ::pread(fd, start.data(), start.size(), 0);
    ::close(fd);
    start.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    const std::size_t end = start.find('\n');
    if (start.compare(0, kHeader.size(), kHeader) == 0 && end != std::string::npos) {
        out.id = start.substr(kHeader.size(), end - kHeader.size());
        out.firstLine = end + 1;
    }
    return out;
}

void ForEachJournalLineNewestFirst(const std::string& path, std::size_t from, std::size_t to,
                                   const std::function<void(const std::string&)>& line)
{
    if (to <= from)
        return;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw FileError("Cannot open file " + path + ": " + std::strerror(errno));
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    std::string tail;  // the end of a line whose start lies further back
    std::size_t pos = to;
    bool last = true;
    while (pos > from) {
        const std::size_t start = pos - from > kJournalBlock ? pos - kJournalBlock : from;
        std::string block(pos - start, '\0');
        std::size_t got = 0;
        while (got < block.size()) {
            const ssize_t n = ::pread(fd, block.data() + got, block.size() - got, static_cast<off_t>(start + got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                throw FileError("Cannot read file " + path + ": " + std::strerror(n < 0 ? errno : EIO));
            got += static_cast<std::size_t>(n);
        }
        block += tail;
        pos = start;
        std::size_t end = block.size();
        if (last && end > 0 && block[end - 1] == '\n')
            --end;  // the last line's own end
        last = false;
        while (end > 0) {
            const std::size_t nl = block.rfind('\n', end - 1);
            if (nl == std::string::npos)
                break;
            line(UnescapeJournalLine(std::string_view(block).substr(nl + 1, end - nl - 1)));
            end = nl;
        }
        tail = block.substr(0, end);
    }
    line(UnescapeJournalLine(tail));
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
