// The agents and templates lists' selection: their buttons, and the File
// menu's entries while their tab is the one shown.

#include <QTreeWidget>

#include "manager/main/tfrm_main.h"
#include "ui_tfrm_main.h"

namespace manager {

namespace {

enum Tab { AgentsTab = 1, TemplatesTab = 2 };

}  // namespace

void TfrmMain::lstVAgentsChange()
{
    const bool selected = !ui_->lstVAgents->selectedItems().isEmpty();
    ui_->btnAgentsModify->setEnabled(selected);
    ui_->btnAgentsDelete->setEnabled(selected);
    followListInFileMenu(AgentsTab, selected);
}

void TfrmMain::lstVTemplatesChange()
{
    const bool selected = !ui_->lstVTemplates->selectedItems().isEmpty();
    ui_->btnARModify->setEnabled(selected);
    ui_->btnARDelete->setEnabled(selected);
    followListInFileMenu(TemplatesTab, selected);
}

void TfrmMain::followListInFileMenu(int tab, bool selected)
{
    // A list filled or changed behind another tab leaves that tab's entries
    // alone; the tab change sets them again from its own selection.
    if (ui_->pageControlMain->currentIndex() != tab)
        return;
    ui_->mnuFileDelete->setEnabled(selected);
    ui_->mnuFileProperties->setEnabled(selected);
    ui_->mnuRename->setEnabled(selected);
}

}  // namespace manager
