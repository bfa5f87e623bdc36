#include "manager/core/status_log.h"

namespace manager {

std::string StatusLog::LogLine(const std::string& text, TDateTime when)
{
    return platform::DateTimeToStr(when) + " -- " + text;
}

std::string StatusLog::ErrorLine(const std::string& message, TDateTime when)
{
    return platform::DateTimeToStr(when) + " -- Error-" + message;
}

std::string StatusLog::LastMessage(const std::string& text, TDateTime when)
{
    return platform::DateTimeToStr(when) + " " + text;
}

void StatusLog::Add(const std::string& line)
{
    if (view_)
        view_->InsertTopLine(line);
    else
        held_.push_back(line);
}

void StatusLog::Attach(LogView* view)
{
    view_ = view;
    if (!view_)
        return;
    for (const std::string& line : held_)
        view_->InsertTopLine(line);
    held_.clear();
}

}  // namespace manager
