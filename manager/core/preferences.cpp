#include "manager/core/preferences.h"

#include <algorithm>
#include <utility>

#include "mail/net/tag_ras.h"
#include "manager/core/user_prompts.h"

namespace manager {

PreferenceValues LoadPreferences(const store::Settings& settings, TagRas& ras, const store::FolderSettings& globals)
{
    PreferenceValues values;
    values.dialupEntries.push_back(kNoDialupEntry);
    const std::vector<std::string>& entries = ras.GetEntries();
    values.dialupEntries.insert(values.dialupEntries.end(), entries.begin(), entries.end());
    const auto found = std::find(values.dialupEntries.begin(), values.dialupEntries.end(), ras.Service());
    if (found != values.dialupEntries.end())
        values.dialupIndex = static_cast<int>(found - values.dialupEntries.begin());

    if (const auto method = ParseConnectMethod(settings.ConnectMethod()))
        values.method = *method;
    values.soundsDisabled = settings.SoundsDisabled();
    values.folders = globals;
    return values;
}

std::string NewMessagesPathQuestion(const std::string& path)
{
    return "You have selected a new messages path.  Are you sure you want to store messages in " + path + "?";
}

void ApplyPreferences(PreferenceValues& chosen, const std::string& previousMessages, store::Settings& settings,
                      TagRas& ras, store::FolderSettings& globals, UserPrompts& prompts)
{
    const bool validIndex =
        chosen.dialupIndex >= 0 && chosen.dialupIndex < static_cast<int>(chosen.dialupEntries.size());
    const std::string entry = validIndex ? chosen.dialupEntries[static_cast<std::size_t>(chosen.dialupIndex)] : "";
    // "None" is the list's way of saying no dial-up, not a phone-book entry:
    // a LAN user is never told it is an invalid one.
    if (entry.empty() || entry == kNoDialupEntry)
        ras.SetService("");
    else
        ras.SetService(entry);

    settings.WriteConnectMethod(ConnectMethodText(chosen.method));
    if (chosen.method == ConnectMethod::Dialup)
        settings.WriteRasService(ras.Service().empty() ? kNoDialupEntry : ras.Service());

    // A folder typed without its "/" is the same folder: names are appended
    // to it, and it is asked about only when it really moves.
    chosen.folders = store::WithSeparators(std::move(chosen.folders));
    if (chosen.folders.messages != store::FolderWithSeparator(previousMessages) &&
        prompts.ConfirmYesNoCancel(NewMessagesPathQuestion(chosen.folders.messages)) != Answer::Yes) {
        chosen.folders.messages = store::FolderWithSeparator(previousMessages);
        prompts.Inform(kMessagesPathRestored);
    }

    // The new folders serve at once, so they are made before they are
    // stored: one that cannot be made is neither stored nor used.
    store::CreateManagerFolders(chosen.folders);
    settings.WritePreferenceFolders(chosen.folders);
    globals = chosen.folders;
    settings.WriteSoundsDisabled(chosen.soundsDisabled);
}

}  // namespace manager
