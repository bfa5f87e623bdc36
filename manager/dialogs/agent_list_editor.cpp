#include "manager/dialogs/agent_list_editor.h"

#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>

#include "controls/qt_text.h"
#include "manager/core/agent_captions.h"
#include "manager/dialogs/never_shown.h"
#include "manager/dialogs/tfrm_action.h"
#include "manager/dialogs/tfrm_trigger.h"
#include "manager/seam/dialog_seam.h"

namespace manager {

namespace {

std::vector<std::string> itemsOf(const QListWidget* list)
{
    std::vector<std::string> items;
    for (int i = 0; i < list->count(); ++i)
        items.push_back(QStringToBytes(list->item(i)->text()));
    return items;
}

void append(QListWidget* list, const std::string& text) { list->addItem(BytesToQString(text)); }

void removeAt(QListWidget* list, int index) { delete list->takeItem(index); }

// Deletes the selected rows from the last to the first, and entry i of each
// of the row's hidden lists.
void deleteSelected(QTreeWidget* view, std::initializer_list<QListWidget*> lists)
{
    for (int i = view->topLevelItemCount() - 1; i >= 0; --i) {
        if (!view->topLevelItem(i)->isSelected())
            continue;
        delete view->takeTopLevelItem(i);
        for (QListWidget* list : lists)
            removeAt(list, i);
    }
}

void popupOn(QTreeWidget* view, QMenu* menu)
{
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(view, &QWidget::customContextMenuRequested, menu,
                     [view, menu](const QPoint& at) { menu->popup(view->viewport()->mapToGlobal(at)); });
}

}  // namespace

AgentListEditor::AgentListEditor(QWidget* dialog, const AgentListWidgets& widgets, const QString& triggerAddCaption,
                                 const QString& actionAddCaption)
    : QObject(dialog), dialog_(dialog), w_(widgets)
{
    triggerMenu_ = new QMenu(dialog);
    triggerMenu_->setObjectName(QStringLiteral("popTriggers"));
    triggerAddItem_ = triggerMenu_->addAction(triggerAddCaption, this, &AgentListEditor::AddTrigger);
    triggerMenu_->addAction(QStringLiteral("Edit..."), this, &AgentListEditor::EditTrigger);
    triggerMenu_->addSeparator();
    triggerMenu_->addAction(QStringLiteral("Delete"), this, &AgentListEditor::DeleteTriggers);
    popupOn(w_.triggers, triggerMenu_);

    actionMenu_ = new QMenu(dialog);
    actionMenu_->setObjectName(QStringLiteral("popActions"));
    actionAddItem_ = actionMenu_->addAction(actionAddCaption, this, &AgentListEditor::AddAction);
    // Actions are not edited: remove one and add it anew.
    actionMenu_->addAction(QStringLiteral("Edit..."));
    actionMenu_->addSeparator();
    actionMenu_->addAction(QStringLiteral("Delete"), this, &AgentListEditor::DeleteActions);
    popupOn(w_.actions, actionMenu_);

    connect(w_.btnAdd, &QPushButton::clicked, this, &AgentListEditor::AddTrigger);
    connect(w_.btnActionAdd, &QPushButton::clicked, this, &AgentListEditor::AddAction);
    connect(w_.triggers, &QTreeWidget::itemDoubleClicked, this, [this] { EditTrigger(); });
    for (QListWidget* list : {w_.lstHeader, w_.lstCondition, w_.lstValue, w_.lstActionParam1, w_.lstActionParam2,
                              w_.lstActionParam3})
        KeepNeverShown(*list);
    changed();
}

void AgentListEditor::changed()
{
    const auto caption = [](QTreeWidget* view) {
        return view->topLevelItemCount() > 0 ? QStringLiteral("&And") : QStringLiteral("&Add");
    };
    w_.btnAdd->setText(caption(w_.triggers));
    triggerAddItem_->setText(caption(w_.triggers));
    w_.btnActionAdd->setText(caption(w_.actions));
    actionAddItem_->setText(caption(w_.actions));
    if (onChange)
        onChange();
}

void AgentListEditor::addTriggerRow(const std::string& header, const std::string& condition,
                                    const std::string& value)
{
    new QTreeWidgetItem(w_.triggers,
                        QStringList{BytesToQString(header), BytesToQString(condition), BytesToQString(value)});
    append(w_.lstHeader, header);
    append(w_.lstCondition, condition);
    append(w_.lstValue, value);
}

void AgentListEditor::addActionRow(const std::string& caption, const std::string& name,
                                   const std::string& parameter, const std::string& extra)
{
    new QTreeWidgetItem(w_.actions, QStringList{BytesToQString(caption), BytesToQString(parameter),
                                                BytesToQString(extra)});
    append(w_.lstActionParam1, name);
    append(w_.lstActionParam2, parameter);
    append(w_.lstActionParam3, extra);
}

void AgentListEditor::AddTrigger()
{
    TfrmTrigger trigger(dialog_);
    if (DialogSeam::ExecModal(trigger) == QDialog::Accepted)
        addTriggerRow(trigger.Header(), trigger.Condition(), trigger.Value());
    changed();
}

void AgentListEditor::EditTrigger()
{
    const QList<QTreeWidgetItem*> selected = w_.triggers->selectedItems();
    if (selected.size() > 1)
        return DialogSeam::Information(dialog_, QStringLiteral("Cannot edit more than one item at a time."));
    if (selected.isEmpty())
        return DialogSeam::Information(dialog_, QStringLiteral("Nothing selected for editing."));
    QTreeWidgetItem* row = selected.front();
    const int i = w_.triggers->indexOfTopLevelItem(row);
    TfrmTrigger trigger(dialog_);
    trigger.SetTrigger(QStringToBytes(w_.lstHeader->item(i)->text()), QStringToBytes(w_.lstCondition->item(i)->text()),
                       QStringToBytes(w_.lstValue->item(i)->text()));
    if (DialogSeam::ExecModal(trigger) != QDialog::Accepted)
        return;
    const QString header = BytesToQString(trigger.Header());
    const QString condition = BytesToQString(trigger.Condition());
    const QString value = BytesToQString(trigger.Value());
    row->setText(0, header);
    row->setText(1, condition);
    row->setText(2, value);
    w_.lstHeader->item(i)->setText(header);
    w_.lstCondition->item(i)->setText(condition);
    w_.lstValue->item(i)->setText(value);
    changed();
}

void AgentListEditor::DeleteTriggers()
{
    deleteSelected(w_.triggers, {w_.lstHeader, w_.lstCondition, w_.lstValue});
    changed();
}

void AgentListEditor::AddAction()
{
    TfrmAction action(dialog_, templatesFolder, createTemplate);
    if (DialogSeam::ExecModal(action) == QDialog::Accepted && !action.SelectedCaption().empty()) {
        const std::string caption = action.SelectedCaption();
        addActionRow(caption, ActionName(caption), action.Parameter(), action.Extra());
    }
    changed();
}

void AgentListEditor::DeleteActions()
{
    deleteSelected(w_.actions, {w_.lstActionParam1, w_.lstActionParam2, w_.lstActionParam3});
    changed();
}

AgentLists AgentListEditor::Lists() const
{
    return {itemsOf(w_.lstHeader),       itemsOf(w_.lstCondition),    itemsOf(w_.lstValue),
            itemsOf(w_.lstActionParam1), itemsOf(w_.lstActionParam2), itemsOf(w_.lstActionParam3)};
}

void AgentListEditor::SetLists(const AgentLists& lists)
{
    const auto at = [](const std::vector<std::string>& list, size_t i) {
        return i < list.size() ? list[i] : std::string();
    };
    for (size_t i = 0; i < lists.header.size(); ++i)
        addTriggerRow(lists.header[i], at(lists.condition, i), at(lists.value, i));
    for (size_t j = 0; j < lists.actionParam1.size(); ++j)
        addActionRow(lists.actionParam1[j], lists.actionParam1[j], at(lists.actionParam2, j),
                     at(lists.actionParam3, j));
    changed();
}

}  // namespace manager
