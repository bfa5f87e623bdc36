// Bad input refused where it is typed: Next, Finish or OK says why through
// the dialog seam, the dialog stays open with what was typed, and nothing
// is written until the input is mended.
#include "accounts_window_fixture.h"

#include "controls/tep_wizard.h"
#include "controls/tep_wizard_page.h"
#include "manager/core/account_commands.h"
#include "manager/dialogs/tfrm_modify.h"
#include "manager/dialogs/tfrm_new_group.h"
#include "manager/dialogs/tfrm_new_node.h"
#include "manager/dialogs/tfrm_rule_prop.h"
#include "manager/dialogs/tfrm_rule_wiz.h"
#include "store/table_layouts.h"
#include "ui_tfrm_modify.h"
#include "ui_tfrm_new_group.h"
#include "ui_tfrm_new_node.h"
#include "ui_tfrm_rule_prop.h"
#include "ui_tfrm_rule_wiz.h"

namespace accountstest {
namespace {

QString q(const char* text) { return QString::fromUtf8(text); }

class InputRefusal : public AccountsWindowTest {
protected:
    // Exactly one box since the last call, saying `part`.
    bool saidOnce(const std::string& part)
    {
        const std::vector<std::string> texts = boxTexts();
        boxes.clear();
        return texts.size() == 1 && texts[0].find(part) != std::string::npos;
    }
};

TEST_F(InputRefusal, ABlankFolderNameIsRefusedOnOkAndInTheTree)
{
    answers["manager::TfrmNewGroup"] = [this](QDialog& dialog) {
        Ui::TfrmNewGroup& u = *static_cast<manager::TfrmNewGroup&>(dialog).ui();
        u.edtGroupName->setText(q("   "));
        u.btnOK->click();
        EXPECT_TRUE(saidOnce("folder name cannot be blank"));
        EXPECT_EQ(u.edtGroupName->text(), q("   "));
        u.edtGroupName->setText(q("Office"));
        u.btnOK->click();
        return dialog.result();
    };
    ui().Position1->trigger();
    EXPECT_EQ(rows(store::kGroupsTable, {"GROUP"}), (Rows{{"Office"}}));

    // Renamed in the tree: said at once, the item and the row keep the name.
    addSelectedSalesAccount();
    for (const char* name : {"Sales", "Office"}) {
        item(q(name))->setText(0, q("  "));
        EXPECT_TRUE(saidOnce("name cannot be blank")) << name;
        EXPECT_NE(item(q(name)), nullptr);
    }
    EXPECT_EQ(rows(store::kNodesTable, {"NODE"}), (Rows{{"Sales"}}));
    EXPECT_EQ(main->ErrorCount(), 0);
}

TEST_F(InputRefusal, TheAccountWizardRefusesOnNextOnlyWhatItsPageHolds)
{
    answers["manager::TfrmNewGroup"] = [](QDialog& dialog) {
        static_cast<manager::TfrmNewGroup&>(dialog).ui()->edtGroupName->setText(q("Office"));
        return int(QDialog::Accepted);
    };
    ui().Position1->trigger();
    answers["manager::TfrmNewNode"] = [this](QDialog& dialog) {
        Ui::TfrmNewNode& u = *static_cast<manager::TfrmNewNode&>(dialog).ui();
        dialog.show();
        const struct {
            TEPWizardPage* page;
            QLineEdit* field;
            const char *bad, *said, *good;
        } steps[] = {
            {u.WizPage1, u.edtNodeName, "  ", "account name cannot be blank", "Sales"},
            {u.EPWizardPage1, u.edtSMTP, "mail:", "SMTP server address \"mail:\"", "mail:25"},
            {u.EPWizardPage1, u.edtPOP, "pop:99999", "POP server address", "pop:995"},
            {u.EPWizardPage4, u.edtMins, "0", "from 1 to 600", "600"},
        };
        for (const auto& step : steps) {
            for (int page = 0; page < 7 && u.NewNodeWiz->ActivePage() != step.page; ++page)
                u.NewNodeWiz->NextButton()->click();
            // Typing asks the page too, and says nothing.
            step.field->setText(q(step.bad));
            EXPECT_TRUE(boxes.empty()) << step.bad;
            u.NewNodeWiz->NextButton()->click();
            EXPECT_TRUE(saidOnce(step.said)) << step.bad;
            EXPECT_EQ(u.NewNodeWiz->ActivePage(), step.page);
            EXPECT_EQ(step.field->text(), q(step.bad));
            step.field->setText(q(step.good));
        }
        for (int page = 0; page < 7 && dialog.result() != QDialog::Accepted; ++page)
            u.NewNodeWiz->NextButton()->click();
        return dialog.result();
    };
    ui().B1->trigger();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(rows(store::kNodesTable, {"NODE", "SMTPADDRES", "POPADDRESS", "FREQVAL"}),
              (Rows{{"Sales", "mail:25", "pop:995", "600"}}));
}

TEST_F(InputRefusal, AccountPropertiesRefuseABlankNameAndABadServerOnOk)
{
    addSelectedSalesAccount();
    answers["manager::TfrmModify"] = [this](QDialog& dialog) {
        Ui::TfrmModify& u = *static_cast<manager::TfrmModify&>(dialog).ui();
        u.edtName->setText(q(" "));
        u.PageControl1->setCurrentWidget(u.TSSchedule);
        u.btnOK->click();
        EXPECT_TRUE(saidOnce("account name cannot be blank"));
        EXPECT_EQ(u.PageControl1->currentWidget(), u.TSServer);
        u.edtName->setText(q("Sales desk"));
        u.edtPopAddress->setText(q("pop.example.org:"));
        u.btnOK->click();
        EXPECT_TRUE(saidOnce("POP server address"));
        EXPECT_NE(dialog.result(), int(QDialog::Accepted));
        u.edtPopAddress->setText(q("pop.example.org:110"));
        u.btnOK->click();
        return dialog.result();
    };
    ui().btnModify->click();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(rows(store::kNodesTable, {"NODE", "POPADDRESS"}), (Rows{{"Sales desk", "pop.example.org:110"}}));
}

TEST_F(InputRefusal, ARestrictionWithoutItsNumberIsRefusedWhileItsDialogIsOpenAndKept)
{
    addSelectedSalesAccount();
    answers["manager::TfrmRuleWiz"] = [this](QDialog& dialog) {
        Ui::TfrmRuleWiz& u = *static_cast<manager::TfrmRuleWiz&>(dialog).ui();
        dialog.show();
        u.cmbCondition->setCurrentIndex(manager::kGreaterThan);
        u.edtNumber->clear();
        u.EPWizard1->NextButton()->click();
        EXPECT_TRUE(saidOnce("size in Kb"));
        // Emptied again behind the last page: Finish says why and goes back.
        u.edtNumber->setText(q("5"));
        u.EPWizard1->NextButton()->click();
        u.EPWizard1->NextButton()->click();
        u.edtName->setText(q("Big mail"));
        u.edtNumber->clear();
        u.EPWizard1->NextButton()->click();
        EXPECT_TRUE(saidOnce("size in Kb"));
        EXPECT_EQ(u.EPWizard1->ActivePage(), u.WizPage1);
        EXPECT_EQ(u.edtName->text(), q("Big mail"));
        u.edtNumber->setText(q("250"));
        for (int page = 0; page < 3 && dialog.result() != QDialog::Accepted; ++page)
            u.EPWizard1->NextButton()->click();
        return dialog.result();
    };
    answers["manager::TfrmRuleProp"] = [this](QDialog& dialog) {
        Ui::TfrmRuleProp& u = *static_cast<manager::TfrmRuleProp&>(dialog).ui();
        u.cmbCondition->setCurrentIndex(manager::kLongerThan);
        u.edtSValue->clear();
        u.btnOK->click();
        EXPECT_TRUE(saidOnce("character count"));
        EXPECT_NE(dialog.result(), int(QDialog::Accepted));
        u.edtSValue->setText(q("80"));
        u.btnOK->click();
        return dialog.result();
    };
    answers["manager::TfrmModify"] = [](QDialog& dialog) {
        Ui::TfrmModify& u = *static_cast<manager::TfrmModify&>(dialog).ui();
        u.btnAdd->click();
        if (u.lstVRules->topLevelItemCount() == 2) {
            u.lstVRules->topLevelItem(1)->setSelected(true);
            u.btnProperties->click();
        }
        return int(QDialog::Rejected);
    };
    ui().btnModify->click();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(rows(store::kRulesTable, {"RULE", "COND", "CONDVAL2"}),
              (Rows{{"Control Restriction", "A", ""}, {"Big mail", "L", "80"}}));
}

}  // namespace
}  // namespace accountstest
