#include "manager/core/agent_captions.h"

#include <cctype>

namespace manager {

namespace {

constexpr const char* kAnyHeaderShown = "<Any Header>";
constexpr const char* kAnyHeaderStored = "ANYHEADER";
constexpr const char* kReplyToShown = "Reply To";
constexpr const char* kReplyToStored = "Reply-To";

}  // namespace

const std::vector<std::string>& TriggerHeaderChoices()
{
    static const std::vector<std::string> choices{"Subject", "From",         "To",    "Cc",
                                                  kReplyToShown, kAnyHeaderShown, "<Body>"};
    return choices;
}

const std::vector<std::string>& TriggerConditionChoices()
{
    static const std::vector<std::string> choices{"contains", "doesn't contain", "begins with", ""};
    return choices;
}

const std::vector<std::string>& ActionCaptions()
{
    static const std::vector<std::string> captions{"Auto-Reply",
                                                   "Close Tarsel",
                                                   "Delay the Agent",
                                                   "Forward To",
                                                   "Launch Program",
                                                   "Play Sound",
                                                   "Redirect To",
                                                   "Remove from further agent processing",
                                                   "Restart the computer",
                                                   "Run an tarselScript"};
    return captions;
}

std::string UpperText(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string StoredTriggerHeader(const std::string& shown)
{
    if (shown == kAnyHeaderShown)
        return kAnyHeaderStored;
    if (shown == kReplyToShown)
        return kReplyToStored;
    return shown;
}

std::string ShownTriggerHeader(const std::string& stored)
{
    // Files written before the stored names were matched hold the shown
    // texts; both read back as the same choice.
    const std::string upper = UpperText(stored);
    if (upper == kAnyHeaderStored || upper == UpperText(kAnyHeaderShown))
        return kAnyHeaderShown;
    if (upper == UpperText(kReplyToStored))
        return kReplyToShown;
    return stored;
}

std::string ActionName(const std::string& caption) { return UpperText(caption); }

}  // namespace manager
