// Bad input refused where it is typed: Next, Finish or OK says why through
// the dialog seam, the dialog stays open with what was typed, and nothing
// is written until the input is mended.
#include "accounts_window_fixture.h"

#include <QSpinBox>

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
    // The boxes shown since the last call.
    std::vector<std::string> takeBoxes()
    {
        std::vector<std::string> texts = boxTexts();
        boxes.clear();
        return texts;
    }
    bool oneBoxSaying(const std::string& part)
    {
        const std::vector<std::string> texts = takeBoxes();
        return texts.size() == 1 && texts[0].find(part) != std::string::npos;
    }
    void addFolder(const char* name)
    {
        manager::AccountCommands(main->Tables(), main->Ids(), homeDir()).NewFolder(name);
        main->populateGroups();
    }
    void addAccount()
    {
        addFolder("Office");
        manager::NewAccountFields fields;
        fields.name = "Sales";
        fields.pop = "pop.example.org";
        fields.minutes = "30";
        fields.nextDate = "12/09/26";
        fields.nextTime = "01:05PM";
        manager::AccountCommands(main->Tables(), main->Ids(), homeDir()).NewAccount(1, fields);
        main->populateGroups();
        select(q("Sales"));
    }
};

// The wizard shown on its first page, filled with a valid account.
struct ShownWizard {
    manager::TfrmNewNode& wizard;
    Ui::TfrmNewNode& u;
    explicit ShownWizard(QDialog& dialog)
        : wizard(static_cast<manager::TfrmNewNode&>(dialog)), u(*wizard.ui())
    {
        wizard.show();
        QApplication::processEvents();
        u.edtNodeName->setText(q("Sales"));
        u.edtSMTP->setText(q("mail.example.org"));
        u.edtUsername->setText(q("sales"));
        u.edtPassword->setText(q("pw"));
        u.edtEmail->setText(q("sales@example.org"));
        u.edtMins->setText(q("10"));
    }
    TEPWizardPage* page() const { return u.NewNodeWiz->ActivePage(); }
    void next() const { u.NewNodeWiz->NextButton()->click(); }
    // Presses Next until the page is `target` (or a page refuses).
    void nextTo(TEPWizardPage* target) const
    {
        for (int i = 0; i < 7 && page() != target; ++i) {
            TEPWizardPage* before = page();
            next();
            if (page() == before)
                return;
        }
    }
    void finish() const
    {
        nextTo(u.EPWizardPage5);
        next();
    }
};

TEST_F(InputRefusal, ABlankFolderNameIsRefusedOnOkAndInTheTree)
{
    answers["manager::TfrmNewGroup"] = [this](QDialog& dialog) {
        Ui::TfrmNewGroup& u = *static_cast<manager::TfrmNewGroup&>(dialog).ui();
        dialog.show();
        u.edtGroupName->setText(q("   "));
        u.btnOK->click();
        EXPECT_TRUE(oneBoxSaying("folder name"));
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_NE(dialog.result(), int(QDialog::Accepted));
        EXPECT_EQ(u.edtGroupName->text(), q("   "));
        u.edtGroupName->setText(q("Office"));
        u.btnOK->click();
        return dialog.result();
    };
    ui().Position1->trigger();
    EXPECT_TRUE(takeBoxes().empty());
    EXPECT_EQ(rows(store::kGroupsTable, {"GROUP"}), (Rows{{"Office"}}));

    // Renamed in the tree: said at once, the item and the row keep the name.
    addAccount();
    for (const char* itemText : {"Office", "Sales"}) {
        QTreeWidgetItem* it = item(q(itemText));
        ASSERT_NE(it, nullptr);
        it->setText(0, q("  "));
        EXPECT_TRUE(oneBoxSaying("name cannot be blank")) << itemText;
        EXPECT_EQ(it->text(0), q(itemText));
    }
    EXPECT_EQ(rows(store::kGroupsTable, {"GROUP"}), (Rows{{"Office"}, {"Office"}}));
    EXPECT_EQ(rows(store::kNodesTable, {"NODE"}), (Rows{{"Sales"}}));
    EXPECT_EQ(main->ErrorCount(), 0);
}

TEST_F(InputRefusal, TheAccountWizardRefusesABlankNameOnNextButNotWhileTyping)
{
    addFolder("Office");
    answers["manager::TfrmNewNode"] = [this](QDialog& dialog) {
        ShownWizard w(dialog);
        w.u.edtNodeName->setText(q(""));
        EXPECT_FALSE(w.u.NewNodeWiz->NextButton()->isEnabled());
        w.u.edtNodeName->setText(q("  "));
        EXPECT_TRUE(takeBoxes().empty());
        w.next();
        EXPECT_TRUE(oneBoxSaying("account name cannot be blank"));
        EXPECT_EQ(w.page(), w.u.WizPage1);
        EXPECT_EQ(w.u.edtNodeName->text(), q("  "));
        w.u.edtNodeName->setText(q("Sales"));
        w.finish();
        EXPECT_TRUE(takeBoxes().empty());
        return dialog.result();
    };
    ui().B1->trigger();
    EXPECT_EQ(rows(store::kNodesTable, {"NODE"}), (Rows{{"Sales"}}));
}

TEST_F(InputRefusal, TheAccountWizardRefusesAServerTextWithABadPortOnNext)
{
    addFolder("Office");
    answers["manager::TfrmNewNode"] = [this](QDialog& dialog) {
        ShownWizard w(dialog);
        w.nextTo(w.u.EPWizardPage1);
        for (const char* smtp : {"mail.example.org:", "mail.example.org:smtp", "mail.example.org:0",
                                 "mail.example.org:65536"}) {
            w.u.edtSMTP->setText(q(smtp));
            EXPECT_TRUE(takeBoxes().empty());
            w.next();
            EXPECT_TRUE(oneBoxSaying("SMTP server address \"" + std::string(smtp) + "\"")) << smtp;
            EXPECT_EQ(w.page(), w.u.EPWizardPage1);
        }
        w.u.edtSMTP->setText(q("mail.example.org:25"));
        w.u.edtPOP->setText(q("pop.example.org:99999"));
        w.next();
        EXPECT_TRUE(oneBoxSaying("POP server address"));
        EXPECT_EQ(w.page(), w.u.EPWizardPage1);
        EXPECT_EQ(w.u.edtPOP->text(), q("pop.example.org:99999"));
        w.u.edtPOP->setText(q("pop.example.org:995"));
        w.finish();
        EXPECT_TRUE(takeBoxes().empty());
        return dialog.result();
    };
    ui().B1->trigger();
    EXPECT_EQ(rows(store::kNodesTable, {"SMTPADDRES", "POPADDRESS"}),
              (Rows{{"mail.example.org:25", "pop.example.org:995"}}));
}

TEST_F(InputRefusal, TheAccountWizardTakesAPollingIntervalOfOneToSixHundredMinutes)
{
    addFolder("Office");
    answers["manager::TfrmNewNode"] = [this](QDialog& dialog) {
        ShownWizard w(dialog);
        w.nextTo(w.u.EPWizardPage4);
        for (const char* minutes : {"0", "", "601", "five"}) {
            w.u.edtMins->setText(q(minutes));
            w.next();
            EXPECT_TRUE(oneBoxSaying("from 1 to 600")) << minutes;
            EXPECT_EQ(w.page(), w.u.EPWizardPage4);
        }
        w.u.edtMins->setText(q("600"));
        w.finish();
        EXPECT_TRUE(takeBoxes().empty());
        return dialog.result();
    };
    ui().B1->trigger();
    EXPECT_EQ(rows(store::kNodesTable, {"FREQVAL"}), (Rows{{"600"}}));
}

TEST_F(InputRefusal, AccountPropertiesRefuseABlankNameAndABadServerOnOk)
{
    addAccount();
    answers["manager::TfrmModify"] = [this](QDialog& dialog) {
        Ui::TfrmModify& u = *static_cast<manager::TfrmModify&>(dialog).ui();
        dialog.show();
        QApplication::processEvents();
        for (const char* name : {"", "   "}) {
            u.edtName->setText(q(name));
            u.PageControl1->setCurrentWidget(u.TSSchedule);
            u.btnOK->click();
            EXPECT_TRUE(oneBoxSaying("account name cannot be blank")) << "[" << name << "]";
            EXPECT_TRUE(dialog.isVisible());
            EXPECT_EQ(u.PageControl1->currentWidget(), u.TSServer);
        }
        u.edtName->setText(q("Sales desk"));
        u.edtSMTPAddress->setText(q("smtp.example.org:0"));
        u.btnOK->click();
        EXPECT_TRUE(oneBoxSaying("SMTP server address"));
        u.edtSMTPAddress->setText(q("smtp.example.org"));
        u.edtPopAddress->setText(q("pop.example.org:"));
        u.btnOK->click();
        EXPECT_TRUE(oneBoxSaying("POP server address"));
        EXPECT_NE(dialog.result(), int(QDialog::Accepted));
        u.edtPopAddress->setText(q("pop.example.org:110"));
        u.btnOK->click();
        return dialog.result();
    };
    ui().btnModify->click();
    EXPECT_TRUE(takeBoxes().empty());
    EXPECT_EQ(rows(store::kNodesTable, {"NODE", "SMTPADDRES", "POPADDRESS"}),
              (Rows{{"Sales desk", "smtp.example.org", "pop.example.org:110"}}));
}

TEST_F(InputRefusal, ARestrictionWithoutItsNumberIsRefusedWhileItsDialogIsOpenAndKept)
{
    addAccount();
    answers["manager::TfrmRuleWiz"] = [this](QDialog& dialog) {
        Ui::TfrmRuleWiz& u = *static_cast<manager::TfrmRuleWiz&>(dialog).ui();
        dialog.show();
        QApplication::processEvents();
        u.cmbCondition->setCurrentIndex(manager::kGreaterThan);
        u.edtNumber->clear();
        u.EPWizard1->NextButton()->click();
        EXPECT_TRUE(oneBoxSaying("size in Kb"));
        EXPECT_EQ(u.EPWizard1->ActivePage(), u.WizPage1);
        // Typed back in on the last page: Finish says why and shows the field.
        u.edtNumber->setText(q("5"));
        u.EPWizard1->NextButton()->click();
        u.cmbAction2->setCurrentIndex(1);
        u.EPWizard1->NextButton()->click();
        u.edtName->setText(q("Big mail"));
        u.EPWizard1->setActivePage(u.WizPage1);
        u.edtNumber->clear();
        u.EPWizard1->setActivePage(u.WizPage3);
        u.EPWizard1->NextButton()->click();
        EXPECT_TRUE(oneBoxSaying("size in Kb"));
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(u.EPWizard1->ActivePage(), u.WizPage1);
        EXPECT_EQ(u.edtName->text(), q("Big mail"));
        EXPECT_EQ(u.cmbAction2->currentIndex(), 1);
        u.edtNumber->setText(q("250"));
        u.EPWizard1->setActivePage(u.WizPage3);
        u.EPWizard1->NextButton()->click();
        return dialog.result();
    };
    answers["manager::TfrmRuleProp"] = [this](QDialog& dialog) {
        Ui::TfrmRuleProp& u = *static_cast<manager::TfrmRuleProp&>(dialog).ui();
        dialog.show();
        u.cmbCondition->setCurrentIndex(manager::kLongerThan);
        u.cmbSField->setEditText(q("Subject:"));
        u.edtSValue->clear();
        u.edtName->setText(q("Long subject"));
        u.btnOK->click();
        EXPECT_TRUE(oneBoxSaying("character count"));
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(u.edtName->text(), q("Long subject"));
        u.edtSValue->setText(q("80"));
        u.btnOK->click();
        return dialog.result();
    };
    answers["manager::TfrmModify"] = [this](QDialog& dialog) {
        Ui::TfrmModify& u = *static_cast<manager::TfrmModify&>(dialog).ui();
        dialog.show();
        u.btnAdd->click();
        EXPECT_EQ(rows(store::kRulesTable, {"RULE", "COND", "CONDVAL2", "ACT2"}),
                  (Rows{{"Control Restriction", "A", "", "Y"}, {"Big mail", "G", "250000", "N"}}));
        if (u.lstVRules->topLevelItemCount() != 2)
            return int(QDialog::Rejected);
        u.lstVRules->topLevelItem(1)->setSelected(true);
        u.btnProperties->click();
        return int(QDialog::Rejected);
    };
    ui().btnModify->click();
    EXPECT_TRUE(takeBoxes().empty());
    EXPECT_EQ(rows(store::kRulesTable, {"RULE", "COND", "CONDVAL1", "CONDVAL2"}),
              (Rows{{"Control Restriction", "A", "", ""}, {"Long subject", "L", "Subject:", "80"}}));
}

}  // namespace
}  // namespace accountstest
