// The account commands of the main window: new folder, new account, the
// account properties, delete, attach and detach. The windows collect; the
// rows are written by the Qt-free commands of manager/core.

#include <QApplication>
#include <QStyle>
#include <QTreeWidget>

#include "manager/core/account_commands.h"
#include "manager/core/account_tree.h"
#include "manager/core/agent_file_names.h"
#include "manager/core/attached_agents.h"
#include "manager/core/manager_error.h"
#include "manager/core/restriction_commands.h"
#include "manager/core/sound_switch.h"
#include "manager/dialogs/tfrm_agents.h"
#include "manager/dialogs/tfrm_modify.h"
#include "manager/dialogs/tfrm_new_group.h"
#include "manager/dialogs/tfrm_new_node.h"
#include "manager/main/accounts_tab_parts.h"
#include "manager/seam/dialog_seam.h"
#include "tables/table.h"
#include "ui_tfrm_main.h"

namespace manager {

namespace {

QString qtext(const std::string& text) { return QString::fromStdString(text); }

// Shows the dialog until what it holds can be written or the user cancels;
// a refusal (a field that does not convert or fit) is shown, nothing is
// written from it.
template <typename Write>
bool showUntilWritten(QWidget* owner, QDialog& dialog, Write&& write)
{
    for (;;) {
        if (DialogSeam::ExecModal(dialog) != QDialog::Accepted)
            return false;
        try {
            write();
            return true;
        } catch (const ManagerError& refused) {
            DialogSeam::Error(owner, qtext(refused.what()));
        }
    }
}

int currentRecNo(ManagerTables& tables, const char* name)
{
    if (!tables.IsOpen(name))
        return 0;
    TTable& table = tables.Table(name);
    return table.Eof() && table.Bof() ? 0 : table.RecNo();
}

}  // namespace

void TfrmMain::Position1Click()
{
    ui_->pageControlMain->setCurrentWidget(ui_->TSaccounts);
    TfrmNewGroup dialog(this);
    AccountCommands accounts(tables_, Ids(), folders_.database);
    if (!showUntilWritten(this, dialog, [&] { accounts.NewFolder(dialog.GroupName()); }))
        return;
    QApplication::processEvents();
    populateGroups();
}

void TfrmMain::B1Click()
{
    ui_->pageControlMain->setCurrentWidget(ui_->TSaccounts);
    PlayWave(kNewItemWave);
    const std::vector<TreeFolder> folders = ReadAccountTree(tables_).folders;
    if (folders.empty()) {
        DialogSeam::Information(this, QStringLiteral("There is no folder to put the account in.  Create a folder first."));
        return;
    }
    TfrmNewNode wizard(this);
    const int remembered = currentRecNo(tables_, "TableGroups2");
    for (const TreeFolder& folder : folders)
        wizard.AddFolder(qtext(folder.name), folder.recNo, folder.recNo == remembered);
    wizard.SetChoices(true, true);
    AccountCommands accounts(tables_, Ids(), folders_.database);
    const bool written = showUntilWritten(this, wizard, [&] {
        int folder = wizard.SelectedFolderRecNo();
        if (folder == 0)
            folder = remembered != 0 ? remembered : folders.front().recNo;
        accounts.NewAccount(folder, wizard.Fields());
    });
    if (written)
        populateGroups();
}

void TfrmMain::mnuPropertiesClick()
{
    // The File menu's entry reaches here from any tab: only a selected
    // account has properties to show.
    const QTreeWidgetItem* item = ui_->treeMain->currentItem();
    if (!item || !item->isSelected() || item->data(0, kImageRole).toInt() != kAccountImage)
        return;
    AccountCommands accounts(tables_, Ids(), folders_.database);
    RestrictionCommands restrictions(tables_, Ids(), folders_.database);
    AttachedAgents agents(tables_, Ids(), folders_.database);
    const AccountProperties properties = accounts.ReadAccount();
    ModifyCommands commands{&restrictions, &agents, &accounts, agents.CurrentAccountId(),
                            [this] { Guarded([this] { mnuAttachClick(); }); },
                            [this] { Guarded([this] { mnuDetachClick(); }); }};
    TfrmModify dialog(this, std::move(commands));
    dialog.SetProperties(properties);
    dialog.RefreshAgents();
    showUntilWritten(this, dialog, [&] { accounts.WriteAccount(dialog.Properties()); });
}

void TfrmMain::Delete1Click()
{
    QTreeWidgetItem* item = ui_->treeMain->currentItem();
    if (!item || !item->isSelected()) {
        DialogSeam::Information(this, QStringLiteral("Nothing Selected to delete"));
        return;
    }
    const auto yes = [this](const char* text, const char* caption) {
        return DialogSeam::Question(this, QString::fromLatin1(text), QMessageBox::Yes | QMessageBox::No,
                                    QString::fromLatin1(caption)) == QMessageBox::Yes;
    };
    AccountCommands accounts(tables_, Ids(), folders_.database);
    const int recNo = item->data(0, kRecNoRole).toInt();
    switch (item->data(0, kImageRole).toInt()) {
    case kAccountImage:
        if (!yes("Are you sure you want to delete this account?", " Delete Confirmation"))
            return;
        accounts.DeleteAccount(recNo);
        break;
    case kFolderImage:
        if (accounts.FolderCount() < 2) {
            DialogSeam::Information(
                this, QStringLiteral("Unable to delete this folder, you must have at least one root folder."));
            return;
        }
        if (accounts.AccountCount(recNo) > 0) {
            if (!yes("WARNING THIS GROUP HAS ACCOUNTS: Are you sure you want to delete this group and all accounts "
                     "inside it?",
                     "Delete Confirmation"))
                return;
        } else if (!yes("Are you sure you want to delete this group?", " Delete Confirmation")) {
            return;
        }
        accounts.DeleteFolder(recNo);
        break;
    default:
        break;
    }
    populateGroups();
    ui_->treeMain->expandAll();
}

void TfrmMain::mnuAttachClick()
{
    RefreshAgents();
    QApplication::processEvents();
    TfrmAgents picker(this);
    // Only what the Agents tab lists under its own file's name: a file made
    // by hand with a name the check refuses could never be found again.
    for (int i = 0; i < ui_->lstVAgents->topLevelItemCount(); ++i)
        if (const QTreeWidgetItem& item = *ui_->lstVAgents->topLevelItem(i); IsAttachableAgentItem(item))
            picker.AddAgent(item.text(0));
    // With the Agents tab's list empty, the picker offers the agent files.
    if (ui_->lstVAgents->topLevelItemCount() == 0)
        for (const std::string& name : AgentFileNames(folders_.agents))
            picker.AddAgent(qtext(name));
    if (DialogSeam::ExecModal(picker) != QDialog::Accepted)
        return;
    const std::string name = picker.SelectedAgent();
    if (name.empty())
        return;
    AttachedAgents agents(tables_, Ids(), folders_.database);
    const int recNo = agents.Attach(name);
    QTreeWidgetItem* account = ui_->treeMain->currentItem();
    if (account && account->data(0, kImageRole).toInt() == kAccountImage) {
        // Filled before it joins the tree, so no edit handler sees it half made.
        auto* item = new QTreeWidgetItem(QStringList{qtext(name)});
        item->setIcon(0, account->treeWidget()->style()->standardIcon(QStyle::SP_FileIcon));
        item->setData(0, kRecNoRole, recNo);
        item->setData(0, kImageRole, int(kAgentImage));
        item->setData(0, Qt::UserRole + 2, item->text(0));
        account->addChild(item);
    }
    QApplication::processEvents();
    QApplication::processEvents();
    ui_->treeMain->expandAll();
}

void TfrmMain::mnuDetachClick()
{
    if (DialogSeam::Question(this, QStringLiteral("Are you sure you want to detatch this agent?"),
                             QMessageBox::Yes | QMessageBox::No,
                             QStringLiteral("Removal Confirmation")) != QMessageBox::Yes)
        return;
    AttachedAgents(tables_, Ids(), folders_.database).DetachCurrent();
    populateGroups();
    ui_->treeMain->expandAll();
}

}  // namespace manager
