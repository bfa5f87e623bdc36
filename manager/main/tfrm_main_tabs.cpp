// The tabs' contents and their commands. The account tree, the agent and
// template lists and the table maintenance come with their own windows;
// until then these keep their places in the menus and do nothing, except
// that what needs a table says so clearly when it is not open.

#include <QTreeWidget>

#include "manager/main/tfrm_main.h"
#include "ui_tfrm_main.h"

namespace manager {

void TfrmMain::populateGroups()
{
    for (const char* name : {"TableOrgs", "TableGroups", "TableNodes", "TableAgents"})
        tables_.Require(name);
}

void TfrmMain::treeMainChange(QTreeWidgetItem* item)
{
    for (QAction* entry : {ui_->mnuDetach, ui_->mnuRename, ui_->mnuFileDelete, ui_->mnuFileProperties, ui_->mnuAttach})
        entry->setEnabled(false);
    ui_->btnModify->setEnabled(false);
    ui_->btnDelete->setEnabled(false);
    if (!item)
        return;
}

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

void TfrmMain::B1Click() {}
void TfrmMain::Position1Click() {}
void TfrmMain::Delete1Click() {}
void TfrmMain::mnuPropertiesClick() {}
void TfrmMain::mnuAttachClick() {}
void TfrmMain::mnuDetachClick() {}
void TfrmMain::ReIndex1Click() {}
void TfrmMain::Pack1Click() {}
void TfrmMain::Zap1Click() {}

}  // namespace manager
