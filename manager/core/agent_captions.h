#pragma once
// The choices the trigger and action dialogs offer, and how a header choice
// is stored in an agent file so that the agent processor reads it as meant:
// it knows the whole header as "ANYHEADER" and looks headers up by their
// real names ("Reply-To"), while the dialogs show "<Any Header>" and
// "Reply To".

#include <string>
#include <vector>

namespace manager {

// "Subject", "From", "To", "Cc", "Reply To", "<Any Header>", "<Body>".
const std::vector<std::string>& TriggerHeaderChoices();
// "contains", "doesn't contain", "begins with" and the empty choice.
const std::vector<std::string>& TriggerConditionChoices();
// The ten action captions in list order ("Auto-Reply" ... "Run an tarselScript").
const std::vector<std::string>& ActionCaptions();

// Header as written to the file, from the header as shown; any other text
// stays as it is.
std::string StoredTriggerHeader(const std::string& shown);
// Header as shown, from the header as stored; any other text stays.
std::string ShownTriggerHeader(const std::string& stored);

// The name an action is stored under: its caption in upper case.
std::string ActionName(const std::string& caption);

// ASCII upper case, as the agent processor compares.
std::string UpperText(std::string text);

}  // namespace manager
