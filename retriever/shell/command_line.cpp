#include "retriever/shell/command_line.h"

#include <algorithm>
#include <cctype>

namespace shell {

CommandLineAction ParseCommandLine(const std::vector<std::string>& args, const ProcessorProfile& profile)
{
    CommandLineAction action;
    if (args.empty())
        return action;
    action.argument = args.front();
    std::string upper = action.argument;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    // Only eleven characters are compared, so "/SINGLEPASSX" counts too.
    if (upper.compare(0, 11, "/SINGLEPASS") == 0)
        action.kind = CommandLineAction::SinglePass;
    else if (profile.debugSwitch && upper.compare(0, 2, "/D") == 0)
        action.kind = CommandLineAction::Debug;
    else if (profile.reportUnknownArgument)
        action.kind = CommandLineAction::NotUnderstood;
    return action;
}

std::string NotUnderstoodText(const std::string& argument)
{
    return "Command-line option \"" + argument + "\" not understood";
}

}  // namespace shell
