// The main window's menus, buttons and tab wired to its commands; every
// command runs guarded, so what it throws reaches the status log.

#include <QAction>
#include <QPushButton>
#include <QTreeWidget>

#include "manager/main/tfrm_main.h"
#include "ui_tfrm_main.h"

namespace manager {

void TfrmMain::wireMenus()
{
    const auto on = [this](QAction* action, void (TfrmMain::*command)()) {
        connect(action, &QAction::triggered, this, [this, command] { Guarded([this, command] { (this->*command)(); }); });
    };
    const auto onClick = [this](QPushButton* button, void (TfrmMain::*command)()) {
        connect(button, &QPushButton::clicked, this, [this, command] { Guarded([this, command] { (this->*command)(); }); });
    };
    Ui::TfrmMain& u = *ui_;
    on(u.B1, &TfrmMain::B1Click);
    on(u.Position1, &TfrmMain::Position1Click);
    on(u.A1, &TfrmMain::A1Click);
    on(u.MailMessageTemplate1, &TfrmMain::MailMessageTemplate1Click);
    on(u.mnuFileDelete, &TfrmMain::mnuFileDeleteClick);
    on(u.mnuRename, &TfrmMain::mnuRenameClick);
    on(u.mnuAttach, &TfrmMain::mnuAttachClick);
    on(u.mnuDetach, &TfrmMain::mnuDetachClick);
    on(u.EnableAutoProcessor1, &TfrmMain::EnableAutoProcessor1Click);
    on(u.DisableAutoProcessor1, &TfrmMain::DisableAutoProcessor1Click);
    on(u.ReIndex1, &TfrmMain::ReIndex1Click);
    on(u.Pack1, &TfrmMain::Pack1Click);
    on(u.Zap1, &TfrmMain::Zap1Click);
    on(u.Script1, &TfrmMain::Script1Click);
    on(u.FindMessage1, &TfrmMain::FindMessage1Click);
    on(u.MailMergeWizard1, &TfrmMain::MailMergeWizard1Click);
    on(u.UpdateSoftware1, &TfrmMain::UpdateSoftware1Click);
    on(u.Status1, &TfrmMain::Status1Click);
    on(u.mnuFileProperties, &TfrmMain::mnuFilePropertiesClick);
    on(u.Exit1, &TfrmMain::Exit1Click);
    on(u.SetPreferences1, &TfrmMain::SetPreferences1Click);
    on(u.Refresh1, &TfrmMain::Refresh1Click);
    on(u.Contents1, &TfrmMain::Contents1Click);
    on(u.VisitKalder1, &TfrmMain::VisitKalder1Click);
    on(u.SuggestProductImprovements1, &TfrmMain::SuggestProductImprovements1Click);
    on(u.OtherCoolSoftware1, &TfrmMain::OtherCoolSoftware1Click);
    on(u.About1, &TfrmMain::About1Click);

    onClick(u.btnNew, &TfrmMain::B1Click);
    onClick(u.btnModify, &TfrmMain::mnuPropertiesClick);
    onClick(u.btnDelete, &TfrmMain::Delete1Click);
    onClick(u.btnAgentsNew, &TfrmMain::A1Click);
    onClick(u.btnAgentsModify, &TfrmMain::btnAgentsModifyClick);
    onClick(u.btnAgentsDelete, &TfrmMain::btnAgentsDeleteClick);
    onClick(u.btnARNew, &TfrmMain::MailMessageTemplate1Click);
    onClick(u.btnARModify, &TfrmMain::btnARModifyClick);
    onClick(u.btnARDelete, &TfrmMain::btnARDeleteClick);

    connect(u.pageControlMain, &QTabWidget::currentChanged, this, [this] { Guarded([this] { pageControlMainChange(); }); });
    connect(u.treeMain, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { Guarded([this, item] { treeMainChange(item); }); });
    connect(u.lstVAgents, &QTreeWidget::itemSelectionChanged, this, [this] { Guarded([this] { lstVAgentsChange(); }); });
    connect(u.lstVTemplates, &QTreeWidget::itemSelectionChanged, this,
            [this] { Guarded([this] { lstVTemplatesChange(); }); });

    wireAgentTabs();
}

}  // namespace manager
