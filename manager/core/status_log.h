#pragma once
// The manager's status log without its window: the texts of a log line and
// an error line, the error counter, and the view the lines go to. Lines
// logged before the status window exists are held and handed to it when it
// comes, so none is lost.

#include <string>
#include <vector>

#include "platform/datetime.h"

namespace manager {

// Where the lines are shown: each new line goes on top.
class LogView {
public:
    virtual ~LogView() = default;
    virtual void InsertTopLine(const std::string& line) = 0;
};

class StatusLog {
public:
    // "mm/dd/yy hh:nn:ss -- text".
    static std::string LogLine(const std::string& text, TDateTime when);
    // "mm/dd/yy hh:nn:ss -- Error-message".
    static std::string ErrorLine(const std::string& message, TDateTime when);
    // "mm/dd/yy hh:nn:ss text": the status window's last message.
    static std::string LastMessage(const std::string& text, TDateTime when);

    // To the view, or held until one is attached.
    void Add(const std::string& line);
    // Hands the held lines over oldest first, so the newest ends on top.
    void Attach(LogView* view);
    void Detach() { view_ = nullptr; }
    const std::vector<std::string>& Held() const { return held_; }

    // One more error; the count so far.
    int CountError() { return ++errors_; }
    int Errors() const { return errors_; }

private:
    LogView* view_ = nullptr;
    std::vector<std::string> held_;  // oldest first
    int errors_ = 0;
};

}  // namespace manager
