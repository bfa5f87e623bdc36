// At each window's default size every caption is whole: list items not cut
// off, fields wide enough for what they hold, buttons that do not run into
// each other. (The account properties dialog's tabs are with the accounts
// tab's tests, which can open it on an account.)
#include "window_fixture.h"

#include <QApplication>
#include <QListWidget>
#include <QTabBar>
#include <QTabWidget>
#include <QTreeWidget>

#include "controls/tep_wizard.h"
#include "manager/dialogs/tab_fit.h"
#include "manager/dialogs/tfrm_action.h"
#include "manager/dialogs/tfrm_new_node.h"
#include "manager/dialogs/tfrm_rule_prop.h"
#include "manager/dialogs/tfrm_update_field.h"
#include "ui_tfrm_action.h"
#include "ui_tfrm_new_node.h"
#include "ui_tfrm_rule_prop.h"
#include "ui_tfrm_update_field.h"

namespace managertest {
namespace {

class WindowLayout : public WindowTest {};

// The pixels a text takes in a widget's font.
int TextWidth(const QWidget& widget, const QString& text) { return widget.fontMetrics().horizontalAdvance(text); }

TEST_F(WindowLayout, TheActionDialogShowsEveryActionWholeAndAReplyFieldForAPath)
{
    manager::TfrmAction action;
    Ui::TfrmAction& u = *action.ui();
    action.show();
    QApplication::processEvents();
    QTreeWidget* list = u.lstVActions;
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = list->topLevelItem(row);
        const QRect shown = list->visualItemRect(item).intersected(list->viewport()->rect());
        EXPECT_GE(shown.width(), TextWidth(*list, item->text(0)) + 8) << item->text(0).toStdString();
    }
    action.SelectAction("Remove from further agent processing");
    QApplication::processEvents();
    screenshot(action, "layout_action_remove");
    action.SelectAction("Auto-Reply");
    QApplication::processEvents();
    const QString path = QStringLiteral("/home/user/.tarsel/Templates/Thank you.eml");
    u.edtReplywith->setText(path);
    screenshot(action, "layout_action_auto_reply");
    EXPECT_GE(u.edtReplywith->width(), TextWidth(*u.edtReplywith, path) + 12);
}

TEST_F(WindowLayout, TheMergeCodePickerShowsEachCategoryOnOneLineWithItsIcon)
{
    manager::TfrmUpdateField picker;
    Ui::TfrmUpdateField& u = *picker.ui();
    picker.show();
    QApplication::processEvents();
    screenshot(picker, "layout_merge_code_picker");
    QListWidget* list = u.lstVCatagory;
    ASSERT_EQ(list->count(), 2);
    for (int row = 0; row < list->count(); ++row) {
        QListWidgetItem* item = list->item(row);
        EXPECT_FALSE(item->icon().isNull()) << item->text().toStdString();
        const QRect rect = list->visualItemRect(item);
        EXPECT_GE(rect.width(), TextWidth(*list, item->text())) << item->text().toStdString();
        EXPECT_TRUE(list->viewport()->rect().contains(rect)) << item->text().toStdString();
        // One line of text under an icon: less than two lines of text more.
        EXPECT_LT(rect.height(), list->iconSize().height() + 2 * list->fontMetrics().height() + 8)
            << item->text().toStdString();
    }
}

TEST_F(WindowLayout, TheRestrictionPropertiesShowEachConditionsFieldsAndNoteWhole)
{
    manager::TfrmRuleProp properties;
    Ui::TfrmRuleProp& u = *properties.ui();
    properties.show();
    QApplication::processEvents();
    const QSize opened = properties.size();
    const struct {
        int condition;
        std::vector<QWidget*> shown;
    } conditions[] = {
        {manager::kContains, {u.cmbField, u.edtValue, u.lblContainsNote}},
        {manager::kLongerThan, {u.cmbSField, u.edtSValue, u.lblSizeNote}},
        {manager::kGreaterThan, {u.edtNumber, u.lblMessageSizeNote}},
        {manager::kAllMessages, {u.lblAllNote}},
    };
    for (const auto& c : conditions) {
        u.cmbCondition->setCurrentIndex(c.condition);
        QApplication::processEvents();
        EXPECT_EQ(properties.size(), opened) << "the dialog keeps its size";
        for (QWidget* widget : c.shown) {
            const int needed = widget->hasHeightForWidth() ? widget->heightForWidth(widget->width())
                                                           : widget->sizeHint().height();
            EXPECT_GE(widget->height(), needed) << c.condition << " " << widget->objectName().toStdString();
        }
        if (c.condition == manager::kContains)
            screenshot(properties, "layout_restriction_properties_contains");
    }
    EXPECT_GE(u.edtName->height(), u.edtName->sizeHint().height());
    EXPECT_LE(u.btnOK->geometry().bottom(), properties.height());
}

TEST_F(WindowLayout, TheWizardsBackAndNextStandApart)
{
    manager::TfrmNewNode wizard;
    wizard.show();
    TEPWizard& bar = *wizard.ui()->NewNodeWiz;
    bar.setActivePage(wizard.ui()->WizPage2);
    QApplication::processEvents();
    screenshot(wizard, "layout_account_wizard");
    EXPECT_LT(bar.BackButton()->geometry().right() + 1, bar.NextButton()->geometry().left());
}

TEST_F(WindowLayout, TabsAreNarrowedOnlyAsFarAsTheirWidthNeeds)
{
    QTabWidget tabs;
    for (const char* caption : {"Server / Logon", "Processing Schedule", "Message Retrieval Restrictions"})
        tabs.addTab(new QWidget, QString::fromLatin1(caption));
    manager::FitTabsToWidth(tabs);
    tabs.resize(900, 200);
    tabs.show();
    QApplication::processEvents();
    EXPECT_EQ(tabs.tabBar()->font(), tabs.font()) << "room enough: the window's own font";

    tabs.resize(tabs.tabBar()->sizeHint().width() - 40, 200);
    QApplication::processEvents();
    EXPECT_LE(tabs.tabBar()->sizeHint().width(), tabs.width());
    EXPECT_NE(tabs.tabBar()->font(), tabs.font());
    EXPECT_EQ(tabs.tabBar()->tabText(2).toStdString(), "Message Retrieval Restrictions");

    tabs.resize(900, 200);
    QApplication::processEvents();
    EXPECT_EQ(tabs.tabBar()->font(), tabs.font()) << "widened again: the font comes back";
}

}  // namespace
}  // namespace managertest
