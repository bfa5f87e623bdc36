#pragma once
// The companion file of a status log: every line is appended to it by one
// write as it is logged, so a program killed at any moment loses no line;
// the log folds the file into its rich-text file at start and exit. The
// first line names the journal with a random id, so a fold can tell a
// journal it has already taken in.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace platform {

class LogJournal {
public:
    LogJournal() = default;
    ~LogJournal();
    LogJournal(const LogJournal&) = delete;
    LogJournal& operator=(const LogJournal&) = delete;

    // Creates a new, empty journal at `path`, private to its owner (an old
    // one must have been folded and removed first; one still there is
    // emptied and keeps its mode). Throws FileError.
    void Create(const std::string& path);
    bool IsOpen() const { return fd_ >= 0; }
    const std::string& Id() const { return id_; }
    // Appends one line; false when the write failed (the line then lives
    // only in memory).
    bool Append(std::string_view line);
    void Close();

private:
    int fd_ = -1;
    std::string id_;
};

// Where a journal's lines lie: after its first line, up to its size. A
// missing file has none; a file without the id line holds lines only.
struct JournalExtent {
    std::string id;
    std::size_t firstLine = 0;  // offset of the first line
    std::size_t size = 0;       // offset just past the last
};
JournalExtent ReadJournalExtent(const std::string& path);

// Calls `line` with each line between the offsets `from` and `to`, newest
// (last) first, reading the file backwards in blocks, so a journal of any
// length costs only a block of memory. A last line cut short by a kill is
// given as far as it reached the disk. Throws FileError.
void ForEachJournalLineNewestFirst(const std::string& path, std::size_t from, std::size_t to,
                                   const std::function<void(const std::string&)>& line);

// One log line as a journal line: backslash, CR and LF escaped, so a line
// of the log is one line of the file whatever it holds.
std::string EscapeJournalLine(std::string_view line);
std::string UnescapeJournalLine(std::string_view line);

}  // namespace platform
