#pragma once
// The companion file of a status log: every line is appended to it by one
// write as it is logged, so a program killed at any moment loses no line;
// the log folds the file into its rich-text file at start and exit. The
// first line names the journal with a random id, so a fold can tell a
// journal it has already taken in.

#include <string>
#include <string_view>
#include <vector>

namespace platform {

class LogJournal {
public:
    LogJournal() = default;
    ~LogJournal();
    LogJournal(const LogJournal&) = delete;
    LogJournal& operator=(const LogJournal&) = delete;

    // Creates a new, empty journal at `path` (replacing none: an old one
    // must have been folded and removed first). Throws FileError.
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

// A journal as read back: its id and its lines, oldest first, each with the
// byte offset just past it (what a fold records as taken in).
struct JournalContents {
    std::string id;
    std::vector<std::string> lines;
    std::vector<std::size_t> ends;
};

// Reads the journal at `path`; a missing file gives no lines. A last line
// cut short by a kill is kept as far as it reached the disk.
JournalContents ReadJournal(const std::string& path);

// One log line as a journal line: backslash, CR and LF escaped, so a line
// of the log is one line of the file whatever it holds.
std::string EscapeJournalLine(std::string_view line);
std::string UnescapeJournalLine(std::string_view line);

}  // namespace platform
