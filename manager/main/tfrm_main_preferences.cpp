// View, "P&references...": the dialog filled from the settings file and the
// folder globals, and written back on OK; the new folders serve at once.

#include <QApplication>

#include "manager/core/preferences.h"
#include "manager/dialogs/tfrm_message.h"
#include "manager/dialogs/tfrm_pref.h"
#include "manager/main/tfrm_main.h"
#include "manager/seam/dialog_seam.h"
#include "manager/seam/seam_prompts.h"
#include "platform/error.h"

namespace manager {

void TfrmMain::SetPreferences1Click()
{
    TfrmPref frmPref(this);
    const PreferenceValues shown = LoadPreferences(settings_, agRas1_, folders_);
    frmPref.Fill(shown);
    const std::string previousTemplates = folders_.templates;
    // A folder that cannot be made is said, and the dialog comes back with
    // what was typed.
    while (DialogSeam::ExecModal(frmPref) == QDialog::Accepted) {
        PreferenceValues chosen = frmPref.Values();
        SeamPrompts prompts(this);
        try {
            ApplyPreferences(chosen, shown.folders.messages, settings_, agRas1_, folders_, prompts);
        } catch (const platform::FileError& failed) {
            DialogSeam::Error(this, QString::fromStdString(failed.what()));
            frmPref.Fill(chosen);
            continue;
        }
        frmPref.Fill(chosen);
        followNewFolders(previousTemplates);
        return;
    }
}

void TfrmMain::followNewFolders(const std::string& previousTemplates)
{
    RefreshAgents();
    RefreshTemplates();
    // Open composers save into the new templates folder too.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        auto* composer = qobject_cast<TfrmMessage*>(window);
        if (composer && composer->TemplatesFolder() == previousTemplates)
            composer->SetTemplatesFolder(folders_.templates);
    }
}

}  // namespace manager
