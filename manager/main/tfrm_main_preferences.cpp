// View, "P&references...": the dialog filled from the settings file and the
// folder globals, and written back on OK.

#include "manager/core/preferences.h"
#include "manager/dialogs/tfrm_pref.h"
#include "manager/main/tfrm_main.h"
#include "manager/seam/dialog_seam.h"
#include "manager/seam/seam_prompts.h"

namespace manager {

void TfrmMain::SetPreferences1Click()
{
    TfrmPref frmPref(this);
    const PreferenceValues shown = LoadPreferences(settings_, agRas1_, folders_);
    frmPref.Fill(shown);
    if (DialogSeam::ExecModal(frmPref) != QDialog::Accepted)
        return;
    PreferenceValues chosen = frmPref.Values();
    SeamPrompts prompts(this);
    ApplyPreferences(chosen, shown.folders.messages, settings_, agRas1_, folders_, prompts);
    frmPref.Fill(chosen);
}

}  // namespace manager
