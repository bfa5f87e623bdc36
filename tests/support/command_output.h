#pragma once
// A shell command run to its end for a test: what it printed, its standard
// error included, and its exit status; and the quoting that hands the
// shell a path as one word.

#include <string>

namespace test_support {

struct CommandOutput {
    int status = -1;     // the exit status; -1 when it did not start or a signal ended it
    std::string output;  // standard output and error as printed, for checks and failure messages
};

// Runs the command line with /bin/sh, its standard error joined to its output.
CommandOutput runCommand(const std::string& command);

// The text in single quotes, any quote it holds escaped, so that the shell
// reads it as one word whatever it holds.
std::string shellQuoted(const std::string& text);

}  // namespace test_support
