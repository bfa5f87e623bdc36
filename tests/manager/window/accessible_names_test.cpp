// Every control a user can work has a name a screen reader can say. Each
// window of post32 is walked through the accessibility layer, widget by
// widget, pages and tabs not shown included.
#include "window_fixture.h"

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QScrollBar>
#include <QSet>

#include <memory>

#include "manager/dialogs/tform1.h"
#include "manager/dialogs/tfrm_action.h"
#include "manager/dialogs/tfrm_agent_properties.h"
#include "manager/dialogs/tfrm_agents.h"
#include "manager/dialogs/tfrm_custom_send.h"
#include "manager/dialogs/tfrm_find.h"
#include "manager/dialogs/tfrm_in_message.h"
#include "manager/dialogs/tfrm_message.h"
#include "manager/dialogs/tfrm_message_pre.h"
#include "manager/dialogs/tfrm_mm_wiz.h"
#include "manager/dialogs/tfrm_modify.h"
#include "manager/dialogs/tfrm_msg_properties.h"
#include "manager/dialogs/tfrm_msg_source.h"
#include "manager/dialogs/tfrm_new_agent.h"
#include "manager/dialogs/tfrm_new_group.h"
#include "manager/dialogs/tfrm_new_node.h"
#include "manager/dialogs/tfrm_pref.h"
#include "manager/dialogs/tfrm_rem.h"
#include "manager/dialogs/tfrm_rule_prop.h"
#include "manager/dialogs/tfrm_rule_wiz.h"
#include "manager/dialogs/tfrm_script_ide.h"
#include "manager/dialogs/tfrm_status.h"
#include "manager/dialogs/tfrm_trigger.h"
#include "manager/dialogs/tfrm_update.h"
#include "manager/dialogs/tfrm_update_field.h"
#include "manager/dialogs/tmail_address_dlg.h"
#include "manager/dialogs/tsplash_form.h"
#include "manager/main/program_block.h"
#include "manager/main/tfrm_main.h"

namespace managertest {
namespace {

// What a user presses, types in, chooses from, moves or walks through.
bool Interactive(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::Button:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::SpinBox:
    case QAccessible::Slider:
    case QAccessible::Dial:
    case QAccessible::List:
    case QAccessible::Table:
    case QAccessible::Tree:
    case QAccessible::PageTabList:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::ButtonDropGrid:
    case QAccessible::HotkeyField:
        return true;
    default:
        return false;
    }
}

// Fields never shown by design, by window and name: the agent dialogs' six
// lists that carry the agent outside the visible area, the action dialog's
// two fields that hand its parameter over, and the viewer's three boxes of
// no size that only pass the focus on to the next field.
bool NeverShown(const QString& window, const QString& name)
{
    static const QSet<QString> kAgentLists{
        QStringLiteral("lstHeader"),       QStringLiteral("lstCondition"),    QStringLiteral("lstValue"),
        QStringLiteral("lstActionParam1"), QStringLiteral("lstActionParam2"), QStringLiteral("lstActionParam3")};
    if (window == QLatin1String("TfrmNewAgent") || window == QLatin1String("TfrmAgentProperties"))
        return kAgentLists.contains(name);
    if (window == QLatin1String("TfrmAction"))
        return name == QLatin1String("edtMaster") || name == QLatin1String("edtMasterParams");
    if (window == QLatin1String("TfrmInMessage"))
        return name == QLatin1String("Edit1") || name == QLatin1String("Edit2") || name == QLatin1String("Edit3");
    return false;
}

// Parts a reader reaches through their owner, never on their own: a spin
// box's own text field, an item view's scroll bars, headers and corner
// button, and the menu bar's overflow button (its menus are named). An
// editable drop-down list's text field is walked into, and needs a name.
bool SpokenByItsOwner(const QWidget& widget)
{
    if (qobject_cast<const QScrollBar*>(&widget) || qobject_cast<const QHeaderView*>(&widget) ||
        widget.inherits("QTableCornerButton") || widget.objectName() == QLatin1String("qt_menubar_ext_button"))
        return true;
    const QWidget* parent = widget.parentWidget();
    return parent && qobject_cast<const QAbstractSpinBox*>(parent);
}

// Read-only text counts too: a reader lands on it as on a field.
bool Works(const QWidget&, QAccessibleInterface& face) { return Interactive(face.role()); }

QString PathOf(const QWidget& widget, const QWidget& window)
{
    QString path = widget.objectName().isEmpty() ? QString::fromLatin1(widget.metaObject()->className())
                                                 : widget.objectName();
    for (const QWidget* up = widget.parentWidget(); up && up != &window; up = up->parentWidget())
        if (!up->objectName().isEmpty() && !up->objectName().startsWith(QLatin1String("qt_")))
            path = up->objectName() + QLatin1Char('/') + path;
    return path;
}

// A combo box's accessible name is its value on this platform, whatever
// name it is given; what a reader says for it is the label it is labelled by.
bool Named(QWidget&, QAccessibleInterface& face)
{
    if (face.role() == QAccessible::ComboBox)
        return !face.relations(QAccessible::Label).isEmpty();
    return !face.text(QAccessible::Name).trimmed().isEmpty();
}

QStringList UnnamedIn(QWidget& window)
{
    QStringList unnamed;
    const QString title = QString::fromLatin1(window.metaObject()->className()).section(QLatin1String("::"), -1);
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        // A combo box's drop-down is a window of its own, spoken through the box.
        if (widget->window() != &window || NeverShown(title, widget->objectName()) || SpokenByItsOwner(*widget))
            continue;
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
        if (!face || !Works(*widget, *face) || Named(*widget, *face))
            continue;
        unnamed << title + QLatin1String(": ") + PathOf(*widget, window) + QLatin1String(" (") +
                       QLatin1String(widget->metaObject()->className()) + QLatin1Char(')');
    }
    return unnamed;
}

class AccessibleNames : public WindowTest {};

TEST_F(AccessibleNames, EveryControlOfEveryWindowHasANameAReaderCanSay)
{
    manager::Post32Program program;
    std::vector<std::unique_ptr<QWidget>> owned;
    owned.emplace_back(std::make_unique<manager::TfrmAction>());
    owned.emplace_back(std::make_unique<manager::TfrmAgentProperties>());
    owned.emplace_back(std::make_unique<manager::TfrmAgents>());
    owned.emplace_back(std::make_unique<manager::TfrmFind>());
    owned.emplace_back(std::make_unique<manager::TfrmInMessage>());
    owned.emplace_back(std::make_unique<manager::TfrmMessage>());
    owned.emplace_back(std::make_unique<manager::TfrmMMWiz>());
    owned.emplace_back(std::make_unique<manager::TfrmModify>(nullptr, manager::ModifyCommands{}));
    owned.emplace_back(std::make_unique<manager::TfrmMsgProperties>());
    owned.emplace_back(std::make_unique<manager::TfrmMsgSource>());
    owned.emplace_back(std::make_unique<manager::TfrmNewAgent>());
    owned.emplace_back(std::make_unique<manager::TfrmNewGroup>());
    owned.emplace_back(std::make_unique<manager::TfrmNewNode>());
    owned.emplace_back(std::make_unique<manager::TfrmRuleProp>());
    owned.emplace_back(std::make_unique<manager::TfrmRuleWiz>());
    owned.emplace_back(std::make_unique<manager::TfrmScriptIDE>());
    owned.emplace_back(std::make_unique<manager::TfrmTrigger>());
    owned.emplace_back(std::make_unique<manager::TfrmUpdate>());
    owned.emplace_back(std::make_unique<manager::TfrmUpdateField>());
    owned.emplace_back(std::make_unique<manager::TSplashForm>());
    owned.emplace_back(std::make_unique<manager::TMailAddressDlg>());
    std::vector<QWidget*> windows{&program.frmMain(),       &program.frmPref(), &program.frmCustomSend(),
                                  &program.frmMessagePre(), &program.Form1(),   &program.frmRem(),
                                  &program.frmStatus()};
    for (const auto& window : owned)
        windows.push_back(window.get());

    QStringList unnamed;
    for (QWidget* window : windows)
        unnamed << UnnamedIn(*window);
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.size() << " controls without a name:\n"
                                   << unnamed.join(QLatin1Char('\n')).toStdString();
}

// The names of what a reader finds showing under `face`.
void CollectShown(QAccessibleInterface* face, QStringList& shown)
{
    for (int i = 0; face && i < face->childCount(); ++i) {
        QAccessibleInterface* child = face->child(i);
        if (!child)
            continue;
        if (!child->state().invisible)
            shown << child->text(QAccessible::Name);
        CollectShown(child, shown);
    }
}

TEST_F(AccessibleNames, TheAgentDialogsListsThatAreNeverShownAreHiddenFromAReaderWithTheirRows)
{
    manager::AgentLists lists;
    lists.header = {"Subject"};
    lists.condition = {"contains"};
    lists.value = {"invoice"};
    lists.actionParam1 = {"FORWARD TO"};
    lists.actionParam2 = {"accounts@example.org"};
    lists.actionParam3 = {""};
    manager::TfrmAgentProperties properties;
    properties.SetLists(lists);
    manager::TfrmNewAgent wizard;
    for (QDialog* dialog : std::initializer_list<QDialog*>{&properties, &wizard}) {
        dialog->show();
        QApplication::processEvents();
        const QString title = QString::fromLatin1(dialog->metaObject()->className());
        for (const char* name :
             {"lstHeader", "lstCondition", "lstValue", "lstActionParam1", "lstActionParam2", "lstActionParam3"}) {
            auto* list = dialog->findChild<QWidget*>(QLatin1String(name));
            ASSERT_NE(list, nullptr) << name;
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(list);
            ASSERT_NE(face, nullptr) << name;
            EXPECT_TRUE(face->state().invisible) << title.toStdString() << ": " << name;
            QStringList shown;
            CollectShown(face, shown);
            EXPECT_TRUE(shown.isEmpty()) << title.toStdString() << ": " << name << " shows "
                                         << shown.join(QLatin1String(", ")).toStdString();
        }
    }
    // What they carry is still the agent's.
    EXPECT_EQ(properties.Lists().value, std::vector<std::string>{"invoice"});
}

}  // namespace
}  // namespace managertest
