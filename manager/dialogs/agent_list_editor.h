#pragma once
// What the agent wizard and the agent properties dialog share: the trigger
// and action list views, their add buttons and pop-up menus, and the six
// hidden lists behind them, kept parallel by position.

#include <QObject>
#include <QString>

#include <functional>
#include <string>

#include "manager/core/agent_lists.h"
#include "manager/dialogs/tfrm_action.h"

class QAction;
class QListWidget;
class QMenu;
class QPushButton;
class QTreeWidget;
class QWidget;

namespace manager {

struct AgentListWidgets {
    QTreeWidget* triggers;
    QTreeWidget* actions;
    QPushButton* btnAdd;
    QPushButton* btnActionAdd;
    QListWidget* lstHeader;
    QListWidget* lstCondition;
    QListWidget* lstValue;
    QListWidget* lstActionParam1;
    QListWidget* lstActionParam2;
    QListWidget* lstActionParam3;
};

class AgentListEditor : public QObject {
    Q_OBJECT

public:
    // Builds the two pop-up menus, their add items captioned as given.
    AgentListEditor(QWidget* dialog, const AgentListWidgets& widgets, const QString& triggerAddCaption,
                    const QString& actionAddCaption);

    void AddTrigger();
    void EditTrigger();
    void DeleteTriggers();
    void AddAction();
    void DeleteActions();

    // The lists as the hidden list boxes hold them.
    AgentLists Lists() const;
    // Fills the views and hidden lists from a loaded agent: actions show
    // their stored names.
    void SetLists(const AgentLists& lists);

    QMenu* TriggerMenu() const { return triggerMenu_; }
    QMenu* ActionMenu() const { return actionMenu_; }

    // For the action dialog's template chooser and "&Create New".
    std::string templatesFolder;
    CreateTemplateCommand createTemplate;
    // Run after every change of a list (the wizard's Next button).
    std::function<void()> onChange;

private:
    void addTriggerRow(const std::string& header, const std::string& condition, const std::string& value);
    void addActionRow(const std::string& caption, const std::string& name, const std::string& parameter,
                      const std::string& extra);
    void changed();

    QWidget* dialog_;
    AgentListWidgets w_;
    QMenu* triggerMenu_;
    QMenu* actionMenu_;
    QAction* triggerAddItem_;
    QAction* actionAddItem_;
};

}  // namespace manager
