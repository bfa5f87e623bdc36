#include "platform/status_log_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <algorithm>
#include <optional>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/log_journal.h"
#include "platform/rtf_reader.h"
#include "platform/rtf_writer.h"
#include "platform/scoped_fd.h"
#include "platform/sibling_temp.h"
#include "platform/stale_temps.h"

namespace platform {

namespace {

// The parts of the file as the RTF writer lays it out.
const std::string kFirstLine = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\r\n";
const std::string kBodyMark = "\\pard\\plain\r\n";
const std::string kParagraphEnd = "\\par\r\n";
const std::string kFileEnd = "}\r\n";
// Which journal the file holds, and up to which byte: an ignorable group,
// skipped by every RTF reader.
const std::string kFoldedMark = "{\\*\\tarselfolded ";
constexpr std::size_t kHeaderLimit = 64 * 1024;
constexpr std::size_t kBlock = 64 * 1024;

// The header of a log file in the writer's form.
struct LogHeader {
    std::string colorTable;   // the whole line, or empty
    std::string foldedId;
    std::size_t foldedUpTo = 0;
    std::size_t bodyOffset = 0;  // first byte after the body mark
};

std::string errorText(const std::string& what, const std::string& path)
{
    return what + " " + path + ": " + std::strerror(errno);
}

// Reads up to `limit` bytes from `offset`; fewer at the end of the file.
std::string readAt(int fd, std::size_t offset, std::size_t limit, const std::string& path)
{
    std::string out(limit, '\0');
    std::size_t got = 0;
    while (got < limit) {
        const ssize_t n = ::pread(fd, out.data() + got, limit - got, static_cast<off_t>(offset + got));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw FileError(errorText("Cannot read file", path));
        }
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    out.resize(got);
    return out;
}

void parseFolded(std::string_view line, LogHeader& header)
{
    line.remove_prefix(kFoldedMark.size());
    const std::size_t blank = line.find(' ');
    const std::size_t close = line.find('}');
    if (blank == std::string_view::npos || close == std::string_view::npos || close < blank)
        return;
    header.foldedId = std::string(line.substr(0, blank));
    header.foldedUpTo = std::stoull(std::string("0") + std::string(line.substr(blank + 1, close - blank - 1)));
}

// The header of the file, when the file is in the writer's form.
std::optional<LogHeader> readHeader(int fd, const std::string& path)
{
    const std::string start = readAt(fd, 0, kHeaderLimit, path);
    if (start.compare(0, kFirstLine.size(), kFirstLine) != 0)
        return std::nullopt;
    LogHeader header;
    std::size_t pos = kFirstLine.size();
    while (true) {
        const std::size_t end = start.find("\r\n", pos);
        if (end == std::string::npos)
            return std::nullopt;
        const std::string_view line = std::string_view(start).substr(pos, end + 2 - pos);
        if (line == kBodyMark) {
            header.bodyOffset = end + 2;
            return header;
        }
        if (line.starts_with(kFoldedMark))
            parseFolded(line, header);
        else if (line.starts_with("{\\colortbl"))
            header.colorTable = std::string(line);
        else
            return std::nullopt;
        pos = end + 2;
    }
}

// One plain log line as the writer lays out a paragraph.
std::string paragraphOf(const std::string& line)
{
    RichText one;
    one.paragraphs.push_back({{{.text = line}}});
    const std::string rtf = WriteRtf(one);
    const std::size_t from = rtf.find(kBodyMark) + kBodyMark.size();
    return rtf.substr(from, rtf.size() - kFileEnd.size() - from);
}

// Brings a file some other program wrote into the writer's form (once).
LogHeader rewriteInWritersForm(const std::string& path)
{
    WriteFileAtomic(path, WriteRtf(ReadRtf(ReadWholeFile(path))));
    ScopedFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.fd < 0)
        throw FileError(errorText("Cannot open file", path));
    return *readHeader(fd.fd, path);
}

void copyFrom(int fd, std::size_t offset, SiblingTempFile& out, const std::string& path)
{
    while (true) {
        const std::string block = readAt(fd, offset, kBlock, path);
        if (block.empty())
            return;
        out.write(block);
        offset += block.size();
    }
}

}  // namespace

void FoldJournalIntoLog(const std::string& path, const std::string& journalPath)
{
    const JournalExtent journal = ReadJournalExtent(journalPath);
    ScopedFd old(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (old.fd < 0 && errno != ENOENT)
        throw FileError(errorText("Cannot open file", path));
    LogHeader header;
    if (old.fd >= 0) {
        std::optional<LogHeader> read = readHeader(old.fd, path);
        if (!read) {
            header = rewriteInWritersForm(path);
            ::close(old.fd);
            old.fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
            if (old.fd < 0)
                throw FileError(errorText("Cannot open file", path));
        } else {
            header = *read;
        }
    }

    // Lines an earlier fold took in before it was cut short stay out.
    std::size_t from = journal.firstLine;
    if (!journal.id.empty() && journal.id == header.foldedId)
        from = std::max(from, std::min(header.foldedUpTo, journal.size));
    if (from >= journal.size && old.fd >= 0) {
        DeleteFile(journalPath);
        return;
    }

    SiblingTempFile out(path);
    std::string head = kFirstLine;
    if (!journal.id.empty() && from < journal.size)
        head += kFoldedMark + journal.id + " " + std::to_string(journal.size) + "}\r\n";
    else if (!header.foldedId.empty())
        head += kFoldedMark + header.foldedId + " " + std::to_string(header.foldedUpTo) + "}\r\n";
    head += header.colorTable + kBodyMark;
    out.write(head);
    std::string batch;
    ForEachJournalLineNewestFirst(journalPath, from, journal.size, [&](const std::string& line) {
        batch += paragraphOf(line);
        if (batch.size() >= kBlock) {
            out.write(batch);
            batch.clear();
        }
    });
    out.write(batch);
    if (old.fd >= 0)
        copyFrom(old.fd, header.bodyOffset, out, path);
    else
        out.write(kFileEnd);
    out.commit();
    DeleteFile(journalPath);
}

std::vector<RichTextParagraph> ReadNewestParagraphs(const std::string& path, std::size_t count)
{
    ScopedFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.fd < 0) {
        if (errno == ENOENT)
            return {};
        throw FileError(errorText("Cannot open file", path));
    }
    std::vector<RichTextParagraph> out;
    const std::optional<LogHeader> header = readHeader(fd.fd, path);
    if (!header) {
        RichText whole = ReadRtf(ReadWholeFile(path));
        if (whole.paragraphs.size() > count)
            whole.paragraphs.resize(count);
        return std::move(whole.paragraphs);
    }
    std::string body;
    std::size_t found = 0;
    std::size_t cut = 0;
    std::size_t offset = header->bodyOffset;
    while (found < count) {
        const std::string block = readAt(fd.fd, offset, kBlock, path);
        if (block.empty())
            break;
        offset += block.size();
        // A paragraph end may straddle two blocks.
        std::size_t from = body.size() >= kParagraphEnd.size() ? body.size() - kParagraphEnd.size() + 1 : 0;
        from = std::max(from, cut);
        body += block;
        for (std::size_t at = body.find(kParagraphEnd, from); at != std::string::npos && found < count;
             at = body.find(kParagraphEnd, at + 1)) {
            ++found;
            cut = at + kParagraphEnd.size();
        }
    }
    if (found < count)
        cut = body.size();
    body.resize(cut);
    if (body.size() >= kFileEnd.size() && body.compare(body.size() - kFileEnd.size(), kFileEnd.size(), kFileEnd) == 0)
        body.resize(body.size() - kFileEnd.size());
    RichText newest = ReadRtf(kFirstLine + header->colorTable + kBodyMark + body + kFileEnd);
    if (newest.paragraphs.size() > count)
        newest.paragraphs.resize(count);
    return std::move(newest.paragraphs);
}

void RemoveStaleLogTemps(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "./" : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    // Only this program writes its log: whatever is there is a kill's leftover.
    RemoveSiblingTemps(folder, std::chrono::system_clock::now(), name + ".");
}

}  // namespace platform
