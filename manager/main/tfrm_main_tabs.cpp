// The agents and templates tabs' contents and their commands. The agent and
// template lists come with their own windows; until then these keep their
// places in the menus and do nothing.

#include <QTreeWidget>

#include "manager/main/tfrm_main.h"
#include "ui_tfrm_main.h"

namespace manager {

void TfrmMain::lstVAgentsChange()
{
    const bool selected = !ui_->lstVAgents->selectedItems().isEmpty();
    ui_->btnAgentsModify->setEnabled(selected);
    ui_->btnAgentsDelete->setEnabled(selected);
    ui_->mnuFileDelete->setEnabled(selected);
    ui_->mnuFileProperties->setEnabled(selected);
}

void TfrmMain::lstVTemplatesChange()
{
    const bool selected = !ui_->lstVTemplates->selectedItems().isEmpty();
    ui_->btnARModify->setEnabled(selected);
    ui_->btnARDelete->setEnabled(selected);
    ui_->mnuFileDelete->setEnabled(selected);
    ui_->mnuFileProperties->setEnabled(selected);
}


}  // namespace manager
