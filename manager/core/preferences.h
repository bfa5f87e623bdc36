#pragma once
// The preferences command without its dialog: what fills the dialog (the
// dial-up entries, the stored method, the sound switch, the four folders)
// and what its OK writes, in order, asking before the messages folder moves.

#include <string>
#include <vector>

#include "manager/core/connect_method.h"
#include "store/settings.h"

class TagRas;

namespace manager {

class UserPrompts;

inline constexpr const char* kNoDialupEntry = "None";

struct PreferenceValues {
    std::vector<std::string> dialupEntries;  // "None", then the phone book
    int dialupIndex = -1;                    // the selected entry; -1: none
    ConnectMethod method = ConnectMethod::Lan;
    bool soundsDisabled = false;
    store::FolderSettings folders;
};

// The dialog's contents: the entry in use selected (none when it is not in
// the list), the stored method (an unknown one leaves LAN), the sounds
// switch and the folder globals.
PreferenceValues LoadPreferences(const store::Settings& settings, TagRas& ras,
                                 const store::FolderSettings& globals);

// OK: the dial-up entry (with "None" or no entry chosen there is none, and
// nothing is reported), the method, with dial-up the [RAS] Service, the
// confirmation when the messages folder differs from `previousMessages`
// (No or Cancel puts the previous one back into `chosen` and says so), the
// messages, agents and templates folders made where missing, the four
// folder keys and globals, then the sounds switch. The folders in `chosen`,
// the keys and the globals all end with "/". A folder that cannot be made
// throws platform::FileError before any folder key or global changes.
void ApplyPreferences(PreferenceValues& chosen, const std::string& previousMessages, store::Settings& settings,
                      TagRas& ras, store::FolderSettings& globals, UserPrompts& prompts);

std::string NewMessagesPathQuestion(const std::string& path);
inline constexpr const char* kMessagesPathRestored = "Your messages path has been restored to the previous setting.";

}  // namespace manager
