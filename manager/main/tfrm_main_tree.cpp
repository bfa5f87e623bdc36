// The account tree: building it from the tables, the selection that moves
// the selection tables, the pop-up menu, rename by label editing and the
// sliding agent history panel.

#include <QApplication>
#include <QHeaderView>
#include <QSignalBlocker>
#include <QStyle>
#include <QThread>
#include <QTreeWidget>

#include "manager/core/account_commands.h"
#include "manager/core/account_tree.h"
#include "manager/core/field_limits.h"
#include "manager/core/manager_error.h"
#include "manager/core/sound_switch.h"
#include "manager/dialogs/stored_width.h"
#include "manager/main/accounts_tab_parts.h"
#include "manager/seam/dialog_seam.h"
#include "ui_tfrm_main.h"

namespace manager {

namespace {

constexpr int kPanelOpen = 175;

int imageOf(const QTreeWidgetItem* item) { return item ? item->data(0, TfrmMain::kImageRole).toInt() : 0; }
int recNoOf(const QTreeWidgetItem* item) { return item->data(0, TfrmMain::kRecNoRole).toInt(); }

QTreeWidgetItem* addItem(QTreeWidgetItem* parent, const std::string& text, int recNo, int image)
{
    static const QStyle::StandardPixmap pictures[] = {QStyle::SP_FileIcon, QStyle::SP_DriveNetIcon,
                                                      QStyle::SP_FileDialogInfoView, QStyle::SP_DirIcon};
    const int picture = image == kAgentImage ? 0 : image == kRootImage ? 1 : image == kAccountImage ? 2 : 3;
    auto* item = new QTreeWidgetItem(parent, QStringList{QString::fromStdString(text)});
    item->setIcon(0, QApplication::style()->standardIcon(pictures[picture]));
    item->setData(0, TfrmMain::kRecNoRole, recNo);
    item->setData(0, TfrmMain::kImageRole, image);
    // The text before an edit, for the rename's log line.
    item->setData(0, Qt::UserRole + 2, item->text(0));
    if (image == kFolderImage || image == kAccountImage)
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    return item;
}

void pause1ms() { QThread::msleep(1); }

}  // namespace

TfrmMain::AccountsTabParts& TfrmMain::accountsTab() const { return *accountsTab_; }
store::RecordIds& TfrmMain::Ids() { return accountsTab_->ids; }
QMenu* TfrmMain::PopupMenuTree() const { return accountsTab_->popup; }

void TfrmMain::wireAccountsTab()
{
    accountsTab_ = std::make_shared<AccountsTabParts>();
    AccountsTabParts& tab = *accountsTab_;
    tab.history = new AgentHistoryModel(this);
    QTableView* grid = ui_->GridAgentHistory;
    grid->setModel(tab.history);
    grid->setColumnWidth(0, 350);
    grid->setColumnWidth(1, 100);
    grid->verticalHeader()->hide();
    ui_->panelHistoryHolder->setFixedHeight(0);
    ui_->panelHistoryHolder->hide();

    tab.popup = new QMenu(this);
    tab.popup->setObjectName(QStringLiteral("PopupMenuTree"));
    QMenu* newMenu = new QMenu(QStringLiteral("&New"), tab.popup);
    tab.popupFolder = newMenu->addAction(QStringLiteral("&Folder"));
    tab.popupAccount = newMenu->addAction(QStringLiteral("&Account..."));
    tab.popupNew = tab.popup->addMenu(newMenu);
    tab.popupDelete = tab.popup->addAction(QStringLiteral("&Delete..."));
    tab.popupRename = tab.popup->addAction(QStringLiteral("Rena&me"));
    tab.separator1 = tab.popup->addSeparator();
    tab.popupAttach = tab.popup->addAction(QStringLiteral("&Attach Agent..."));
    tab.popupDetach = tab.popup->addAction(QStringLiteral("&Detach Agent..."));
    tab.separator2 = tab.popup->addSeparator();
    tab.popupProperties = tab.popup->addAction(QStringLiteral("&Properties..."));

    const auto on = [this](QAction* action, void (TfrmMain::*command)()) {
        connect(action, &QAction::triggered, this, [this, command] { Guarded([this, command] { (this->*command)(); }); });
    };
    on(tab.popupFolder, &TfrmMain::Position1Click);
    on(tab.popupAccount, &TfrmMain::B1Click);
    on(tab.popupDelete, &TfrmMain::Delete1Click);
    on(tab.popupRename, &TfrmMain::editTreeItem);
    on(tab.popupAttach, &TfrmMain::mnuAttachClick);
    on(tab.popupDetach, &TfrmMain::mnuDetachClick);
    on(tab.popupProperties, &TfrmMain::mnuPropertiesClick);

    QTreeWidget* tree = ui_->treeMain;
    tree->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    tree->setItemDelegate(new StoredWidthDelegate(
        [](const QModelIndex& index) {
            const int image = index.data(kImageRole).toInt();
            return image == kFolderImage ? kGroupWidth : image == kAccountImage ? kNodeWidth : 0;
        },
        tree));
    connect(tree, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        Guarded([this] { PopupMenuTreePopup(); });
        accountsTab_->popup->popup(ui_->treeMain->viewport()->mapToGlobal(at));
    });
    connect(tree, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem* item) { Guarded([this, item] { treeMainEdited(item); }); });
    for (auto signal : {&QTreeWidget::itemExpanded, &QTreeWidget::itemCollapsed})
        connect(tree, signal, this, [this] { PlayWave(kExpandTreeWave); });
}

void TfrmMain::populateGroups()
{
    AccountsTabParts& tab = accountsTab();
    if (tab.rebuilding)
        return;
    tab.rebuilding = true;
    struct Done {
        AccountsTabParts& tab;
        QTreeWidget* tree;
        ~Done()
        {
            tab.rebuilding = false;
            tree->setUpdatesEnabled(true);
        }
    } done{tab, ui_->treeMain};

    const AccountTree accounts = ReadAccountTree(tables_);
    QTreeWidget* tree = ui_->treeMain;
    {
        const QSignalBlocker quiet(tree);
        tree->clear();
    }
    treeMainChange(nullptr);
    tree->setUpdatesEnabled(false);
    QApplication::processEvents();

    const QSignalBlocker quiet(tree);
    auto* root = addItem(tree->invisibleRootItem(), "E-Mail Accounts", 0, kRootImage);
    root->setExpanded(true);
    QTreeWidgetItem* lastFolder = nullptr;
    for (const TreeFolder& folder : accounts.folders) {
        lastFolder = addItem(root, folder.name, folder.recNo, kFolderImage);
        lastFolder->setExpanded(true);
        for (const TreeAccount& account : folder.accounts) {
            QTreeWidgetItem* item = addItem(lastFolder, account.name, account.recNo, kAccountImage);
            for (const TreeAgent& agent : account.agents)
                addItem(item, agent.name, agent.recNo, kAgentImage);
        }
    }
    tree->setUpdatesEnabled(true);
    if (lastFolder)
        lastFolder->setExpanded(true);
    root->setExpanded(true);
    statusBar()->show();
    tree->viewport()->update();
}

void TfrmMain::treeMainChange(QTreeWidgetItem* item)
{
    for (QAction* entry : {ui_->mnuDetach, ui_->mnuRename, ui_->mnuFileDelete, ui_->mnuFileProperties, ui_->mnuAttach})
        entry->setEnabled(false);
    ui_->btnModify->setEnabled(false);
    ui_->btnDelete->setEnabled(false);
    // Items being freed by a rebuild are never acted on.
    if (!item || accountsTab().rebuilding)
        return;
    const int image = imageOf(item);
    if (image != kAgentImage)
        RetractPanel();
    AccountCommands accounts(tables_, Ids(), folders_.database);
    switch (image) {
    case kAgentImage:
        ui_->mnuDetach->setEnabled(true);
        accounts.SelectAttachedAgent(recNoOf(item));
        accountsTab().history->Reload(&tables_.Table("TableAgentActions"));
        QApplication::processEvents();
        ExpandPanel();
        break;
    case kAccountImage:
        ui_->mnuAttach->setEnabled(true);
        accounts.SelectAccount(recNoOf(item));
        for (QAction* entry : {ui_->mnuFileDelete, ui_->mnuFileProperties, ui_->mnuRename})
            entry->setEnabled(true);
        ui_->btnModify->setEnabled(true);
        ui_->btnDelete->setEnabled(true);
        break;
    case kFolderImage:
        ui_->mnuFileDelete->setEnabled(true);
        ui_->mnuRename->setEnabled(true);
        accounts.SelectFolder(recNoOf(item));
        break;
    default:
        ui_->TSaccounts->show();
        break;
    }
}

void TfrmMain::PopupMenuTreePopup()
{
    AccountsTabParts& tab = accountsTab();
    for (QAction* entry : {tab.popupNew, tab.popupDelete, tab.separator1, tab.separator2, tab.popupAttach,
                           tab.popupDetach, tab.popupProperties})
        entry->setVisible(false);
    switch (imageOf(ui_->treeMain->currentItem())) {
    case kAgentImage:
        tab.popupDetach->setVisible(true);
        break;
    case kRootImage:
    case kFolderImage:
        tab.popupNew->setVisible(true);
        tab.popupDelete->setVisible(true);
        break;
    case kAccountImage:
        for (QAction* entry : {tab.separator1, tab.separator2, tab.popupAttach, tab.popupDelete, tab.popupProperties,
                               tab.popupNew})
            entry->setVisible(true);
        break;
    default:
        break;
    }
}

void TfrmMain::editTreeItem()
{
    QTreeWidgetItem* item = ui_->treeMain->currentItem();
    const int image = imageOf(item);
    if (!item || !item->isSelected() || (image != kFolderImage && image != kAccountImage))
        return;
    ui_->treeMain->editItem(item, 0);
}

void TfrmMain::treeMainEdited(QTreeWidgetItem* item)
{
    if (!item || accountsTab().rebuilding)
        return;
    const int image = imageOf(item);
    const QString before = item->data(0, Qt::UserRole + 2).toString();
    const std::string oldText = before.toStdString();
    const std::string newText = item->text(0).toStdString();
    const auto restore = [&] {
        const QSignalBlocker quiet(ui_->treeMain);
        item->setText(0, before);
    };
    if (image != kAccountImage && image != kFolderImage)
        return restore();
    AccountCommands accounts(tables_, Ids(), folders_.database);
    try {
        // The row of the item that was edited, also when the edit ended
        // because another item was selected.
        if (image == kAccountImage) {
            accounts.RenameAccount(recNoOf(item), newText);
            SendtoLog("Node renamed from " + oldText + " to " + newText);
        } else {
            accounts.RenameFolder(recNoOf(item), newText);
            SendtoLog("Group renamed from " + oldText + " to " + newText);
        }
    } catch (const ManagerError& refused) {
        // A name the row cannot take (blank, too long) is said at once, as a
        // dialog says it; the item keeps its name.
        restore();
        DialogSeam::Error(this, QString::fromStdString(refused.what()));
        return;
    } catch (...) {
        restore();
        throw;
    }
    const QSignalBlocker quiet(ui_->treeMain);
    item->setData(0, Qt::UserRole + 2, item->text(0));
}

void TfrmMain::ExpandPanel()
{
    QWidget* panel = ui_->panelHistoryHolder;
    if (panel->maximumHeight() > 100)
        return;
    panel->show();
    PlayWave(kSlideWave);
    int h = panel->maximumHeight();
    while (h <= kPanelOpen) {
        pause1ms();
        h += 10;
        panel->setFixedHeight(h >= kPanelOpen ? h - 5 : h);
        QApplication::processEvents();
    }
    panel->setFixedHeight(kPanelOpen);
}

void TfrmMain::RetractPanel()
{
    QWidget* panel = ui_->panelHistoryHolder;
    int h = panel->maximumHeight();
    while (h >= 1) {
        h -= 20;
        pause1ms();
        panel->setFixedHeight(std::max(0, h >= 1 ? h - 10 : h));
        QApplication::processEvents();
    }
    panel->setFixedHeight(0);
    panel->hide();
}

}  // namespace manager
