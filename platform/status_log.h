#pragma once
// A program's status log without its window: lines on top, newest first.
// Every line reaches the companion journal as it is logged, so a kill loses
// none; the rich-text file holds every line ever logged (never trimmed) and
// takes the journal in at open, save and close; memory holds only the
// newest lines, as many as a window shows. Logging a line costs the same
// however long the log has grown. A log with no file lives in memory only.

#include <cstddef>
#include <deque>
#include <string>
#include <vector>

#include "platform/log_journal.h"
#include "platform/rtf_text.h"

namespace platform {

class StatusLog {
public:
    static constexpr std::size_t kDefaultNewestLines = 1000;

    // `path` names the rich-text file ("" for a log kept in memory only).
    explicit StatusLog(std::string path = {}, std::size_t newestLines = kDefaultNewestLines);
    // Closes the journal; what it holds is taken in at the next open.
    ~StatusLog() = default;
    StatusLog(const StatusLog&) = delete;
    StatusLog& operator=(const StatusLog&) = delete;

    // Takes in what a killed run left (its journal and half-written
    // files), creates the file when it is missing, reads the newest lines
    // and starts a new journal. Throws FileError when the file cannot be
    // read or written.
    void Open();
    // One line on top. A line that cannot reach the journal stays in memory.
    void Add(const std::string& line);
    // Takes the journal into the file now and starts a new one.
    void Save();
    // Takes the journal into the file; no line is logged after.
    void Close();

    // The newest lines, newest first, at most NewestLimit() of them.
    const std::deque<RichTextParagraph>& Newest() const { return newest_; }
    std::vector<std::string> NewestPlainLines() const;
    std::size_t NewestLimit() const { return limit_; }
    // Lines added since the count was last taken (for a view that catches up).
    std::size_t TakeAddedCount();

    const std::string& Path() const { return path_; }
    std::string JournalPath() const;

private:
    void fold();
    void push(RichTextParagraph paragraph);

    std::string path_;
    std::size_t limit_;
    std::deque<RichTextParagraph> newest_;
    LogJournal journal_;
    std::size_t added_ = 0;
    bool journalFailed_ = false;
};

// The journal that goes with a log file.
std::string LogJournalPath(const std::string& logPath);

}  // namespace platform
