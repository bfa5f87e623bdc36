// The main window's own commands: by-tab dispatch, the tab change, the
// AutoProcessor message, the status and about windows, the help entries and
// the hidden windows' entries.

#include <QDesktopServices>
#include <QFile>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QUrl>

#include "controls/qt_text.h"
#include "manager/core/sound_switch.h"
#include "manager/dialogs/tfrm_find.h"
#include "manager/dialogs/tfrm_mm_wiz.h"
#include "manager/dialogs/tfrm_script_ide.h"
#include "manager/dialogs/tfrm_status.h"
#include "manager/dialogs/tfrm_update.h"
#include "manager/dialogs/tsplash_form.h"
#include "manager/main/tfrm_main.h"
#include "manager/seam/dialog_seam.h"
#include "platform/paths.h"
#include "ui_tfrm_main.h"

namespace manager {

namespace {

enum Tab { AccountsTab = 0, AgentsTab = 1, TemplatesTab = 2 };

void editSelected(QTreeWidget* list)
{
    QTreeWidgetItem* item = list->currentItem();
    if (!item || !item->isSelected())
        return;
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    list->editItem(item, 0);
}

}  // namespace

void TfrmMain::mnuFileDeleteClick()
{
    switch (ui_->pageControlMain->currentIndex()) {
    case AccountsTab:
        return Delete1Click();
    case AgentsTab:
        return btnAgentsDeleteClick();
    case TemplatesTab:
        return btnARDeleteClick();
    }
}

void TfrmMain::mnuFilePropertiesClick()
{
    switch (ui_->pageControlMain->currentIndex()) {
    case AccountsTab:
        return mnuPropertiesClick();
    case AgentsTab:
        return btnAgentsModifyClick();
    case TemplatesTab:
        return btnARModifyClick();
    }
}

void TfrmMain::mnuRenameClick()
{
    switch (ui_->pageControlMain->currentIndex()) {
    case AccountsTab:
        return editTreeItem();
    case AgentsTab:
        return editSelected(ui_->lstVAgents);
    case TemplatesTab:
        return editSelected(ui_->lstVTemplates);
    }
}

void TfrmMain::Refresh1Click()
{
    switch (ui_->pageControlMain->currentIndex()) {
    case AccountsTab:
        return populateGroups();
    case AgentsTab:
        return RefreshAgents();
    case TemplatesTab:
        return RefreshTemplates();
    }
}

void TfrmMain::pageControlMainChange()
{
    for (QAction* entry : {ui_->mnuDetach, ui_->mnuFileDelete, ui_->mnuFileProperties, ui_->mnuAttach, ui_->mnuRename})
        entry->setEnabled(false);
    switch (ui_->pageControlMain->currentIndex()) {
    case AccountsTab: {
        // Everything stays disabled until the user selects an item, and the
        // tree shows none: an item left looking selected would be renamed by
        // the click meant to select it.
        QTreeWidget* tree = ui_->treeMain;
        const QSignalBlocker quiet(tree);
        tree->clearSelection();
        tree->setCurrentItem(nullptr);
        return treeMainChange(nullptr);
    }
    case AgentsTab:
        return lstVAgentsChange();
    case TemplatesTab:
        return lstVTemplatesChange();
    }
}

void TfrmMain::EnableAutoProcessor1Click() { showMessage(kAutoProcessorText); }

void TfrmMain::DisableAutoProcessor1Click()
{
    // The entry always shows its check mark.
    ui_->DisableAutoProcessor1->setChecked(true);
    showMessage(kAutoProcessorText);
}

void TfrmMain::Status1Click()
{
    if (!frmStatus_)
        return;
    frmStatus_->show();
    frmStatus_->raise();
}

void TfrmMain::Exit1Click() { close(); }

void TfrmMain::About1Click()
{
    PlayWave(kAboutWave);
    TSplashForm about(this);
    DialogSeam::ExecModal(about);
}

void TfrmMain::Contents1Click() {}

void TfrmMain::openDocumentation(const char* anchor)
{
    // The documentation shipped with the programs stands in for the web pages.
    const std::string readme = platform::FindAsset("README.md");
    if (readme.empty())
        return;
    QUrl url = QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(readme)));
    url.setFragment(QString::fromLatin1(anchor));
    QDesktopServices::openUrl(url);
}

void TfrmMain::VisitKalder1Click() { openDocumentation("tarsel"); }
void TfrmMain::SuggestProductImprovements1Click() { openDocumentation("what-the-system-does-not-do"); }
void TfrmMain::OtherCoolSoftware1Click() { openDocumentation("running-the-programs"); }

void TfrmMain::Script1Click() { (new TfrmScriptIDE(this))->show(); }

void TfrmMain::FindMessage1Click() { (new TfrmFind(this))->show(); }

void TfrmMain::MailMergeWizard1Click() { (new TfrmMMWiz(this))->show(); }

void TfrmMain::UpdateSoftware1Click()
{
    TfrmUpdate update(this);
    DialogSeam::ExecModal(update);
}

}  // namespace manager
