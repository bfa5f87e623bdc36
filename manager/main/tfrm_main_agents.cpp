// The Agents tab: the list of agent files, the new-agent wizard, the agent
// properties dialog, delete and rename.

#include <QMenu>
#include <QSignalBlocker>
#include <QThread>
#include <QTreeWidget>

#include "controls/qt_text.h"
#include "manager/core/agent_commands.h"
#include "manager/core/agent_rename.h"
#include "manager/core/listed_files.h"
#include "manager/core/manager_error.h"
#include "manager/core/sound_switch.h"
#include "manager/dialogs/stored_width.h"
#include "manager/dialogs/tfrm_agent_properties.h"
#include "manager/dialogs/tfrm_new_agent.h"
#include "manager/main/tfrm_main.h"
#include "manager/seam/dialog_seam.h"
#include "platform/event_pump.h"
#include "store/agent_name.h"
#include "store/table_layouts.h"
#include "ui_tfrm_main.h"

namespace manager {

namespace {

enum Tab { AgentsTab = 1, TemplatesTab = 2 };

// The listed file of the selected item, empty when nothing is selected.
std::string selectedFile(QTreeWidget* list)
{
    const QList<QTreeWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? std::string() : QStringToBytes(selected.front()->data(0, Qt::UserRole).toString());
}

}  // namespace

void TfrmMain::wireAgentTabs()
{
    Ui::TfrmMain& u = *ui_;
    const auto guarded = [this](void (TfrmMain::*command)()) {
        return [this, command] { Guarded([this, command] { (this->*command)(); }); };
    };
    auto* popup = new QMenu(u.lstVAgents);
    popup->setObjectName(QStringLiteral("popAgents"));
    popup->addAction(QStringLiteral("New..."), this, guarded(&TfrmMain::A1Click));
    popup->addAction(QStringLiteral("Delete..."), this, guarded(&TfrmMain::btnAgentsDeleteClick));
    popup->addSeparator();
    popup->addAction(QStringLiteral("Properties..."), this, guarded(&TfrmMain::btnAgentsModifyClick));
    u.lstVAgents->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(u.lstVAgents, &QWidget::customContextMenuRequested, popup,
            [this, popup](const QPoint& at) { popup->popup(ui_->lstVAgents->viewport()->mapToGlobal(at)); });

    connect(u.lstVAgents, &QTreeWidget::itemDoubleClicked, this, guarded(&TfrmMain::btnAgentsModifyClick));
    connect(u.lstVTemplates, &QTreeWidget::itemDoubleClicked, this, guarded(&TfrmMain::btnARModifyClick));
    // A renamed agent's name is also its attached rows' AGENT.
    u.lstVAgents->setItemDelegate(
        new StoredWidthDelegate([](const QModelIndex&) { return store::kAgentNameWidth; }, u.lstVAgents));
    connect(u.lstVAgents, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem* item) { Guarded([this, item] { lstVAgentsEdited(item); }); });
    connect(u.lstVTemplates, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem* item) { Guarded([this, item] { lstVTemplatesEdited(item); }); });
}

void TfrmMain::refreshFileList(QTreeWidget* list, const std::string& folder, const char* extension)
{
    {
        // Filling the list is no rename.
        const QSignalBlocker quiet(list);
        list->clear();
        for (const ListedFile& file : ListFolder(folder, extension)) {
            auto* item = new QTreeWidgetItem(list, QStringList{BytesToQString(file.caption)});
            item->setData(0, Qt::UserRole, BytesToQString(file.fileName));
            item->setFlags(item->flags() | Qt::ItemIsEditable);
        }
    }
    if (list == ui_->lstVAgents)
        lstVAgentsChange();
    else
        lstVTemplatesChange();
}

void TfrmMain::RefreshAgents() { refreshFileList(ui_->lstVAgents, folders_.agents, kAgentExtension); }

void TfrmMain::A1Click()
{
    ui_->pageControlMain->setCurrentIndex(AgentsTab);
    PlayWave(kNewItemWave);
    TfrmNewAgent wizard(this);
    wizard.SetTemplates(folders_.templates, [this](QWidget* asker) { return NewTemplateOver(asker); });
    // A taken name replaces that agent only when the user says so;
    // otherwise the wizard comes back with everything entered.
    for (;;) {
        if (DialogSeam::ExecModal(wizard) != QDialog::Accepted)
            return;
        const std::string name = wizard.AgentName();
        if (!AgentNameTaken(folders_.agents, name))
            break;
        const QString question = QStringLiteral("An agent named \"") + BytesToQString(name) +
                                 QStringLiteral("\" already exists.  Do you want to replace it?");
        if (DialogSeam::Question(this, question, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes)
            break;
    }
    WriteNewAgent(folders_.agents, wizard.AgentName(), wizard.AgentKind(), wizard.Lists(), platform::Now());
    // Let the wizard's window go before the list is rebuilt.
    for (int i = 0; i < 3; ++i)
        platform::processPendingEvents();
    for (int i = 0; i < 11; ++i) {
        platform::processPendingEvents();
        QThread::msleep(10);
    }
    RefreshAgents();
    platform::processPendingEvents();
}

void TfrmMain::btnAgentsModifyClick()
{
    const std::string file = selectedFile(ui_->lstVAgents);
    if (file.empty())
        return;
    const std::string path = folders_.agents + file;
    TfrmAgentProperties properties(this);
    properties.SetTemplates(folders_.templates, [this](QWidget* asker) { return NewTemplateOver(asker); });
    properties.SetLists(LoadAgentLists(path));
    platform::processPendingEvents();
    if (DialogSeam::ExecModal(properties) == QDialog::Accepted)
        SaveAgentLists(path, properties.Lists(), platform::Now());
}

void TfrmMain::btnAgentsDeleteClick()
{
    if (DialogSeam::Question(this, QStringLiteral("Are you sure you want to delete this agent?"),
                             QMessageBox::Yes | QMessageBox::No,
                             QStringLiteral(" Delete Confirmation")) != QMessageBox::Yes)
        return;
    try {
        const std::string file = selectedFile(ui_->lstVAgents);
        if (file.empty())
            throw ManagerError("Nothing selected");
        DeleteListedFile(folders_.agents, file);
        RefreshAgents();
    } catch (const std::exception&) {
        DialogSeam::Information(this, QStringLiteral("Unable to delete agent"));
    }
}

bool TfrmMain::IsAttachableAgentItem(const QTreeWidgetItem& item)
{
    const std::string caption = QStringToBytes(item.text(0));
    return store::IsValidAgentName(caption) &&
           QStringToBytes(item.data(0, Qt::UserRole).toString()) == caption + kAgentExtension;
}

void TfrmMain::lstVAgentsEdited(QTreeWidgetItem* item)
{
    // The accounts it is attached to go on running it under the new name.
    int attached = 0;
    // A name the agent-name check refuses could never be attached.
    renameListedItem(
        ui_->lstVAgents, item, kAgentExtension, [](const std::string& name) { return store::AgentNameProblem(name); },
        [&](const std::string& file, const std::string& newName) {
            const RenamedAgent renamed = RenameAgent(tables_, folders_.agents, file, newName);
            attached = renamed.rows;
            return renamed.fileName;
        },
        kAgentRenameFailure);
    if (attached > 0) {
        // The accounts' attached items show the name they now run.
        populateGroups();
        lstVAgentsChange();
    }
}

void TfrmMain::renameListedItem(QTreeWidget* list, QTreeWidgetItem* item, const char* extension,
                                std::string (*nameProblem)(const std::string&), const ListedRename& rename,
                                const char* failure)
{
    const std::string file = QStringToBytes(item->data(0, Qt::UserRole).toString());
    const std::string oldName = file.substr(0, file.size() - std::string(extension).size());
    const std::string newName = QStringToBytes(item->text(0));
    if (newName == oldName)
        return;
    const auto putBack = [&] {
        const QSignalBlocker quiet(list);
        item->setText(0, BytesToQString(oldName));
    };
    const std::string problem = nameProblem(newName);
    if (!problem.empty()) {
        putBack();
        DialogSeam::Information(this, BytesToQString(problem));
        return;
    }
    try {
        const std::string renamed = rename(file, newName);
        const QSignalBlocker quiet(list);
        item->setData(0, Qt::UserRole, BytesToQString(renamed));
    } catch (const std::exception&) {
        putBack();
        DialogSeam::Information(this, QString::fromLatin1(failure));
    }
}

}  // namespace manager
