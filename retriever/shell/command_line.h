#pragma once
// What a processor makes of its command line: only the first argument
// counts, compared upper-cased.

#include <string>
#include <vector>

#include "retriever/shell/processor_profile.h"

namespace shell {

struct CommandLineAction {
    enum Kind { None, SinglePass, Debug, NotUnderstood };
    Kind kind = None;
    std::string argument;  // the first argument as given
};

// args: the arguments after the program name.
CommandLineAction ParseCommandLine(const std::vector<std::string>& args, const ProcessorProfile& profile);

// "Command-line option "X" not understood".
std::string NotUnderstoodText(const std::string& argument);

}  // namespace shell
