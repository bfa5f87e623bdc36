#include "platform/status_log.h"

#include <cstdio>

#include "platform/status_log_file.h"

namespace platform {

std::string LogJournalPath(const std::string& logPath) { return logPath + ".journal"; }

StatusLog::StatusLog(std::string path, std::size_t newestLines) : path_(std::move(path)), limit_(newestLines) {}

std::string StatusLog::JournalPath() const { return LogJournalPath(path_); }

void StatusLog::Open()
{
    if (path_.empty())
        return;
    journal_.Close();
    RemoveStaleLogTemps(path_);
    fold();
    newest_.clear();
    for (RichTextParagraph& paragraph : ReadNewestParagraphs(path_, limit_))
        newest_.push_back(std::move(paragraph));
    added_ = newest_.size();
    journal_.Create(JournalPath());
}

void StatusLog::Add(const std::string& line)
{
    if (journal_.IsOpen() && !journal_.Append(line) && !journalFailed_) {
        // Said once: the line stays in the window, and the next ones try again.
        journalFailed_ = true;
        std::fprintf(stderr, "Unable to write to %s\n", JournalPath().c_str());
    }
    push({{{.text = line}}});
}

void StatusLog::push(RichTextParagraph paragraph)
{
    newest_.push_front(std::move(paragraph));
    if (newest_.size() > limit_)
        newest_.pop_back();
    ++added_;
}

void StatusLog::Save()
{
    if (path_.empty())
        return;
    fold();
    journal_.Create(JournalPath());
}

void StatusLog::Close()
{
    if (path_.empty())
        return;
    fold();
}

void StatusLog::fold()
{
    journal_.Close();
    FoldJournalIntoLog(path_, JournalPath());
}

std::vector<std::string> StatusLog::NewestPlainLines() const
{
    std::vector<std::string> lines;
    lines.reserve(newest_.size());
    for (const RichTextParagraph& paragraph : newest_)
        lines.push_back(paragraph.PlainText());
    return lines;
}

std::size_t StatusLog::TakeAddedCount()
{
    const std::size_t added = added_;
    added_ = 0;
    return added;
}

}  // namespace platform
