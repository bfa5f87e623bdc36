// The account wizard's user name: filled from the e-mail address only while
// the user has typed none, so a login that differs from the address is the
// one the account logs in with.
#include "accounts_window_fixture.h"

#include "controls/tep_wizard.h"
#include "controls/tep_wizard_page.h"
#include "manager/core/account_commands.h"
#include "manager/dialogs/tfrm_new_node.h"
#include "store/table_layouts.h"
#include "ui_tfrm_new_node.h"

namespace accountstest {
namespace {

QString q(const char* text) { return QString::fromUtf8(text); }

class WizardLogin : public AccountsWindowTest {
protected:
    // From the login page past the identification page, as Next does.
    static void passIdentification(Ui::TfrmNewNode& u)
    {
        u.NewNodeWiz->setActivePage(u.EPWizardPage2);
        u.NewNodeWiz->NextButton()->click();
        u.NewNodeWiz->NextButton()->click();
    }
};

TEST_F(WizardLogin, ATypedUserNameIsTheLoginWhateverTheAddressSays)
{
    manager::AccountCommands(main->Tables(), main->Ids(), homeDir()).NewFolder("Office");
    answers["manager::TfrmNewNode"] = [](QDialog& dialog) {
        Ui::TfrmNewNode& u = *static_cast<manager::TfrmNewNode&>(dialog).ui();
        dialog.show();
        u.edtNodeName->setText(q("John"));
        u.edtUsername->setText(q("jsmith"));
        u.edtEmail->setText(q("john.smith@example.com"));
        passIdentification(u);
        EXPECT_EQ(u.edtUsername->text(), q("jsmith"));
        for (int page = 0; page < 3 && dialog.result() != QDialog::Accepted; ++page)
            u.NewNodeWiz->NextButton()->click();
        return dialog.result();
    };
    ui().B1->trigger();
    EXPECT_EQ(rows(store::kNodesTable, {"LOGIN"}), (Rows{{"jsmith"}}));
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
    u.edtEmail->setText(q("jsmith@example.com"));
    passIdentification(u);
    EXPECT_EQ(u.edtUsername->text(), q("jsmith"));
    // Typed over, it is the user's; emptied, it is filled again.
    u.edtUsername->setText(q("john"));
    u.edtEmail->setText(q("other@example.com"));
    passIdentification(u);
    EXPECT_EQ(u.edtUsername->text(), q("john"));
    u.edtUsername->clear();
    passIdentification(u);
    EXPECT_EQ(u.edtUsername->text(), q("other"));
}

}  // namespace
}  // namespace accountstest
