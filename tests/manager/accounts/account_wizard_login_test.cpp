// The account wizard's user name: filled from the e-mail address only while
// the user has typed none, so a login that differs from the address is the
// one the account logs in with.
#include "accounts_window_fixture.h"

#include "controls/tep_wizard.h"
#include "controls/tep_wizard_page.h"
#include "manager/dialogs/tfrm_new_group.h"
#include "manager/dialogs/tfrm_new_node.h"
#include "store/table_layouts.h"
#include "ui_tfrm_new_group.h"
#include "ui_tfrm_new_node.h"

namespace accountstest {
namespace {

QString q(const char* text) { return QString::fromUtf8(text); }

class WizardLogin : public AccountsWindowTest {
protected:
    // Walks the wizard from its first page past the identification page.
    static void passIdentification(Ui::TfrmNewNode& u)
    {
        while (u.NewNodeWiz->ActivePage() != u.EPWizardPage4) {
            TEPWizardPage* before = u.NewNodeWiz->ActivePage();
            u.NewNodeWiz->NextButton()->click();
            if (u.NewNodeWiz->ActivePage() == before)
                return;
        }
    }
    static void backToLogin(Ui::TfrmNewNode& u)
    {
        while (u.NewNodeWiz->ActivePage() != u.EPWizardPage2)
            u.NewNodeWiz->BackButton()->click();
    }
};

TEST_F(WizardLogin, ATypedUserNameIsKeptAndStoredAsTheLogin)
{
    answers["manager::TfrmNewGroup"] = [](QDialog& dialog) {
        static_cast<manager::TfrmNewGroup&>(dialog).ui()->edtGroupName->setText(q("Office"));
        return int(QDialog::Accepted);
    };
    ui().Position1->trigger();
    answers["manager::TfrmNewNode"] = [](QDialog& dialog) {
        Ui::TfrmNewNode& u = *static_cast<manager::TfrmNewNode&>(dialog).ui();
        dialog.show();
        u.edtNodeName->setText(q("John"));
        u.edtSMTP->setText(q("mail.example.com"));
        u.edtUsername->setText(q("jsmith"));
        u.edtPassword->setText(q("pw"));
        u.edtEmail->setText(q("john.smith@example.com"));
        passIdentification(u);
        EXPECT_EQ(u.edtUsername->text(), q("jsmith"));
        // Changing the address afterwards does not touch it either.
        backToLogin(u);
        u.edtEmail->setText(q("js@example.com"));
        passIdentification(u);
        EXPECT_EQ(u.edtUsername->text(), q("jsmith"));
        while (u.NewNodeWiz->ActivePage() != u.EPWizardPage5)
            u.NewNodeWiz->NextButton()->click();
        u.NewNodeWiz->NextButton()->click();
        return dialog.result();
    };
    ui().B1->trigger();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(rows(store::kNodesTable, {"LOGIN", "ADDRESS"}), (Rows{{"jsmith", "js@example.com"}}));
}

TEST_F(WizardLogin, AnEmptyUserNameIsFilledFromTheAddressAndFollowsItUntilTyped)
{
    manager::TfrmNewNode wizard(main.get());
    Ui::TfrmNewNode& u = *wizard.ui();
    wizard.show();
    u.edtNodeName->setText(q("John"));
    u.edtEmail->setText(q("john.smith@example.com"));
    passIdentification(u);
    EXPECT_EQ(u.edtUsername->text(), q("john.smith"));

    // What the wizard filled in follows a changed address.
    backToLogin(u);
    u.edtEmail->setText(q("jsmith@example.com"));
    passIdentification(u);
    EXPECT_EQ(u.edtUsername->text(), q("jsmith"));

    // Typed over, it is the user's: the address no longer changes it.
    backToLogin(u);
    u.edtUsername->setText(q("john"));
    u.edtEmail->setText(q("other@example.com"));
    passIdentification(u);
    EXPECT_EQ(u.edtUsername->text(), q("john"));

    // Emptied again, it is filled again.
    backToLogin(u);
    u.edtUsername->clear();
    passIdentification(u);
    EXPECT_EQ(u.edtUsername->text(), q("other"));
}

}  // namespace
}  // namespace accountstest
