#pragma once
// Starting programs from a command line without a shell: the line is split
// into words as a shell would split it, but nothing in it is run or expanded.

#include <string>
#include <string_view>
#include <sys/types.h>
#include <utility>
#include <vector>

#include "platform/error.h"

namespace platform {

// A program that could not be started: which one (the command line itself
// when it could not be split into words) and why, for a history row that
// says so; what() is the whole sentence for the log.
class StartError : public ProcessError {
public:
    StartError(const std::string& message, std::string program, std::string reason)
        : ProcessError(message), program_(std::move(program)), reason_(std::move(reason))
    {
    }
    const std::string& Program() const { return program_; }
    const std::string& Reason() const { return reason_; }

private:
    std::string program_;
    std::string reason_;
};

// Blanks separate words; '...' keeps everything literally; "..." keeps
// everything but a backslash before " \ $ ` or a line break; outside quotes a
// backslash keeps the next character. No variables, no globbing, no command
// substitution, no operators: ";", "|", "$(...)" are plain characters.
// An unterminated quote or a trailing backslash throws ProcessError.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// `word` written so that SplitCommandLine reads it back as that one word:
// unchanged when it is only letters, digits and signs that no shell acts
// on, else in single quotes. For a path the user picked that goes first on
// a command line.
std::string QuoteCommandWord(std::string_view word);

// Starts the program named by the first word of `commandLine` (searched in
// PATH unless it holds a "/") with the other words and then each of
// `extraArgs` as one argument each, whatever characters it holds. Does not
// wait; the child is reaped in the background once it ends, so none is left
// as a zombie. The child gets default signal handling, an empty signal mask
// and no descriptors beyond 0, 1 and 2. Returns its process id (for logs:
// do not wait for it, the background reaper does); throws StartError
// "Unable to start <program>: <reason>" when it cannot start, the line that
// cannot be split or is empty included.
pid_t StartProcess(std::string_view commandLine, const std::vector<std::string>& extraArgs = {});

}  // namespace platform
