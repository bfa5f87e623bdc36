// The account properties dialog through the main window: the fields round
// trip, restrictions added, edited and removed at once whatever closes the
// dialog, the schedule page, and the restriction windows themselves.
#include "accounts_window_fixture.h"

#include <QCalendarWidget>
#include <QSlider>
#include <QSpinBox>
#include <QTest>

#include "controls/tep_wizard.h"
#include "controls/tep_wizard_page.h"
#include "manager/core/account_commands.h"
#include "manager/dialogs/tfrm_modify.h"
#include "manager/dialogs/tfrm_rule_prop.h"
#include "manager/dialogs/tfrm_rule_wiz.h"
#include "store/table_layouts.h"
#include "ui_tfrm_modify.h"
#include "ui_tfrm_rule_prop.h"
#include "ui_tfrm_rule_wiz.h"

namespace accountstest {
namespace {

class AccountProperties : public AccountsWindowTest {
protected:
    void SetUp() override
    {
        AccountsWindowTest::SetUp();
        addSelectedSalesAccount();
    }
};

TEST_F(AccountProperties, FieldsRoundTripAndRestrictionsAreWrittenAtOnce)
{
    answers["manager::TfrmRuleWiz"] = [](QDialog& dialog) {
        Ui::TfrmRuleWiz& u = *static_cast<manager::TfrmRuleWiz&>(dialog).ui();
        u.cmbCondition->setCurrentIndex(2);
        EXPECT_FALSE(u.panelmessagesize->isHidden());
        EXPECT_TRUE(u.panelfieldcontains->isHidden());
        u.edtNumber->setText(QStringLiteral("100"));
        u.cmbAction2->setCurrentIndex(1);
        u.edtName->setText(QStringLiteral("Big mail"));
        return int(QDialog::Accepted);
    };
    answers["manager::TfrmRuleProp"] = [](QDialog& dialog) {
        dialog.show();
        Ui::TfrmRuleProp& u = *static_cast<manager::TfrmRuleProp&>(dialog).ui();
        EXPECT_EQ(u.cmbCondition->currentIndex(), 2);
        EXPECT_EQ(u.edtNumber->text().toStdString(), "100");
        EXPECT_EQ(u.cmbAction2->currentText().toStdString(), "NO");
        EXPECT_TRUE(u.panelmessagesize->isVisible());
        screenshot(dialog, "restriction_properties");
        u.edtNumber->setText(QStringLiteral("250"));
        return int(QDialog::Accepted);
    };
    answers["manager::TfrmModify"] = [this](QDialog& dialog) {
        auto& modify = static_cast<manager::TfrmModify&>(dialog);
        Ui::TfrmModify& u = *modify.ui();
        EXPECT_EQ(u.edtName->text().toStdString(), "Sales");
        EXPECT_EQ(u.edtUserName->text().toStdString(), "sales");
        EXPECT_EQ(u.edtMins->value(), 30);
        EXPECT_EQ(u.MedtNextTime->text().toStdString(), "01:05PM");
        dialog.show();
        QApplication::processEvents();
        EXPECT_EQ(u.MedtNextDate->text().toStdString(), "12/09/26");
        EXPECT_EQ(u.lblDateRead->text().toStdString(), "December 09 2026");
        EXPECT_EQ(u.lstVRules->topLevelItemCount(), 1);
        EXPECT_FALSE(u.lblWarning->isVisible());
        u.btnAdd->click();
        EXPECT_EQ(u.lstVRules->topLevelItemCount(), 2);
        if (u.lstVRules->topLevelItemCount() != 2)
            return int(QDialog::Rejected);
        u.lstVRules->topLevelItem(1)->setSelected(true);
        EXPECT_TRUE(u.btnRemove->isEnabled());
        u.btnProperties->click();
        u.edtName->setText(QStringLiteral("Changed"));
        u.MedtNextTime->setText(QStringLiteral("12:15AM"));
        for (int page = 0; page < u.PageControl1->count(); ++page) {
            u.PageControl1->setCurrentIndex(page);
            QApplication::processEvents();
            screenshot(dialog, ("account_properties_page" + std::to_string(page + 1)).c_str());
        }
        return int(QDialog::Accepted);
    };
    ui().btnModify->click();
    EXPECT_TRUE(boxes.empty()) << boxTexts().front();
    EXPECT_EQ(rows(store::kNodesTable, {"NODE", "NEXTTIME", "LASTTIME"}), (Rows{{"Changed", "00:15", "13:05"}}));
    EXPECT_EQ(rows(store::kRulesTable, {"RULE", "COND", "CONDVAL2", "ACT1", "ACT2"}),
              (Rows{{"Control Restriction", "A", "", "Y", "Y"}, {"Big mail", "G", "250000", "Y", "N"}}));
}

TEST_F(AccountProperties, CancelKeepsTheAccountFieldsButNotTheRestrictionChanges)
{
    answers["manager::TfrmModify"] = [this](QDialog& dialog) {
        Ui::TfrmModify& u = *static_cast<manager::TfrmModify&>(dialog).ui();
        dialog.show();
        u.lstVRules->topLevelItem(0)->setSelected(true);
        boxAnswer = QMessageBox::Yes;
        u.btnRemove->click();
        EXPECT_EQ(boxes.back().caption.toStdString(), "Delete Confirmation");
        EXPECT_EQ(boxes.back().text.toStdString(), "Are you sure you want to delete this rule?");
        // No restriction left: the warning and its page.
        EXPECT_TRUE(u.lblWarning->isVisible());
        EXPECT_EQ(u.PageControl1->currentWidget(), u.TSRestrictions);
        u.edtName->setText(QStringLiteral("Not kept"));
        return int(QDialog::Rejected);
    };
    ui().btnModify->click();
    EXPECT_EQ(rows(store::kNodesTable, {"NODE"}), (Rows{{"Sales"}}));
    EXPECT_TRUE(rows(store::kRulesTable, {"RULE"}).empty());
}

TEST_F(AccountProperties, TheSchedulePageKeepsAWholeDateAndItsControlsInStep)
{
    manager::ModifyCommands none;
    manager::TfrmModify modify(main.get(), none);
    Ui::TfrmModify& u = *modify.ui();
    EXPECT_EQ(u.IntervalTrackBar->value(), 1);
    u.IntervalTrackBar->setValue(50);
    EXPECT_EQ(u.edtMins->value(), 50);
    u.IntervalTrackBar->setValue(0);
    EXPECT_EQ(u.edtMins->value(), 1);
    EXPECT_EQ(u.IntervalTrackBar->value(), 1);
    u.edtMins->setValue(45);
    EXPECT_EQ(u.IntervalTrackBar->value(), 45);
    u.cal->setSelectedDate(QDate(2027, 1, 31));
    EXPECT_EQ(u.MedtNextDate->text().toStdString(), "01/31/27");
    u.btnPrevMonth->click();
    EXPECT_EQ(u.cal->selectedDate(), QDate(2027, 1, 31));
    u.btnPrevYear->click();
    EXPECT_EQ(u.cal->selectedDate(), QDate(2026, 1, 31));
    u.MedtNextDate->setText(QStringLiteral("02/30/27"));
    modify.MedtNextDateChange();
    EXPECT_EQ(u.cal->selectedDate(), QDate::currentDate());
    EXPECT_EQ(u.MedtNextDate->text(), QDate::currentDate().toString(QStringLiteral("MM/dd/yy")));
}

TEST_F(AccountProperties, TheRestrictionWizardStartsOnContainsFromYesYesAndNeedsAName)
{
    manager::TfrmRuleWiz wizard(main.get());
    Ui::TfrmRuleWiz& u = *wizard.ui();
    wizard.show();
    QApplication::processEvents();
    EXPECT_EQ(u.cmbCondition->currentText().toStdString(), "If header field contains");
    EXPECT_EQ(u.cmbField->currentText().toStdString(), "From");
    EXPECT_EQ(u.cmbAction1->currentText().toStdString(), "YES");
    EXPECT_EQ(u.cmbAction2->currentText().toStdString(), "YES");
    screenshot(wizard, "restriction_wizard_page1");
    u.cmbCondition->setCurrentIndex(1);
    EXPECT_EQ(u.cmbSField->currentText().toStdString(), "Select a field:");
    EXPECT_EQ(wizard.Fields().Choice().lengthField, "Select a field:");
    u.cmbCondition->setCurrentIndex(3);
    EXPECT_FALSE(u.panelfieldcontains->isVisible());
    EXPECT_FALSE(u.panelfieldsize->isVisible());
    EXPECT_FALSE(u.panelmessagesize->isVisible());
    EXPECT_TRUE(u.lblAllNote->isVisible());
    u.EPWizard1->setActivePage(u.WizPage2);
    QApplication::processEvents();
    screenshot(wizard, "restriction_wizard_page2");
    u.EPWizard1->setActivePage(u.WizPage3);
    QApplication::processEvents();
    EXPECT_FALSE(u.EPWizard1->NextButton()->isEnabled());
    u.edtName->setText(QStringLiteral("All of it"));
    EXPECT_TRUE(u.EPWizard1->NextButton()->isEnabled());
    screenshot(wizard, "restriction_wizard_page3");
    // Digits only in the number fields; no 50th character in the name.
    QTest::keyClicks(u.edtNumber, QStringLiteral("-1.5x"));
    EXPECT_EQ(u.edtNumber->text().toStdString(), "10015");
    u.edtName->setText(QString(60, QLatin1Char('n')));
    EXPECT_EQ(u.edtName->text().size(), 49);
}

}  // namespace
}  // namespace accountstest
