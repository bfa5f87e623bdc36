// The address dialog that a mail address's Edit shows in post32: filled
// with the address, OK takes both fields, Cancel leaves it as it was.
#include "window_fixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "mail/mail_address.h"
#include "manager/dialogs/tmail_address_dlg.h"
#include "manager/main/program_block.h"
#include "ui_tmail_address_dlg.h"

namespace managertest {
namespace {

using manager::TMailAddressDlg;

std::string text(const QString& value) { return value.toStdString(); }

class AddressDialog : public WindowTest {
protected:
    // What the dialog showed when it came, and what the user then does.
    std::string shownName, shownAddress;
    std::function<void(Ui::TMailAddressDlg&)> typing;
    bool pressOk = true;

    void SetUp() override
    {
        WindowTest::SetUp();
        onDialog = [this](QDialog& dialog) {
            auto* address = qobject_cast<TMailAddressDlg*>(&dialog);
            if (!address)
                return int(QDialog::Rejected);
            Ui::TMailAddressDlg& ui = *address->ui();
            shownName = text(ui.NameEdit->text());
            shownAddress = text(ui.AddressEdit->text());
            if (typing)
                typing(ui);
            (pressOk ? ui.OKButton : ui.CancelButton)->click();
            return dialog.result();
        };
    }

    void TearDown() override
    {
        TmsMailAddress::SetEditor({});
        WindowTest::TearDown();
    }
};

TEST_F(AddressDialog, ShowsItsCaptionFieldsAndButtonsAsNamed)
{
    TMailAddressDlg dialog;
    Ui::TMailAddressDlg& ui = *dialog.ui();
    dialog.SetAddress(TmsMailAddress("ann@example.org", "Ann Lee"));
    dialog.show();
    EXPECT_EQ(text(dialog.windowTitle()), "Address");
    EXPECT_EQ(text(ui.lblName->text()), "Name");
    EXPECT_EQ(ui.lblName->buddy(), ui.NameEdit);
    EXPECT_EQ(text(ui.lblAddress->text()), "Address");
    EXPECT_EQ(ui.lblAddress->buddy(), ui.AddressEdit);
    EXPECT_EQ(text(ui.OKButton->text()), "OK");
    EXPECT_TRUE(ui.OKButton->isDefault());
    EXPECT_EQ(text(ui.CancelButton->text()), "Cancel");
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    EXPECT_EQ(text(ui.NameEdit->text()), "Ann Lee");
    EXPECT_EQ(text(ui.AddressEdit->text()), "ann@example.org");
    screenshot(dialog, "manager_address_dialog");
    // Escape is Cancel.
    QTest::keyClick(ui.NameEdit, Qt::Key_Escape);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST_F(AddressDialog, OkTakesBothFieldsAndCancelLeavesTheAddress)
{
    // post32 puts the dialog behind the mail library's Edit at start-up.
    manager::Post32Program program;
    TmsMailAddress address("ann@example.org", "Ann Lee");
    typing = [](Ui::TMailAddressDlg& ui) {
        ui.NameEdit->setText(QStringLiteral("Bea Müller"));
        ui.AddressEdit->clear();
        QTest::keyClicks(ui.AddressEdit, "bea@example.org");
    };
    pressOk = false;
    EXPECT_FALSE(address.Edit());
    EXPECT_EQ(dialogs, std::vector<std::string>{"manager::TMailAddressDlg"});
    EXPECT_EQ(shownName, "Ann Lee");
    EXPECT_EQ(shownAddress, "ann@example.org");
    EXPECT_EQ(address.Name(), "Ann Lee");
    EXPECT_EQ(address.Address(), "ann@example.org");

    pressOk = true;
    EXPECT_TRUE(address.Edit());
    EXPECT_EQ(address.Name(), "Bea Müller");
    EXPECT_EQ(address.Address(), "bea@example.org");

    // Emptied fields are what the user asked for.
    typing = [](Ui::TMailAddressDlg& ui) {
        ui.NameEdit->clear();
        ui.AddressEdit->clear();
    };
    EXPECT_TRUE(address.Edit());
    EXPECT_EQ(address.Name(), "");
    EXPECT_EQ(address.Address(), "");
}

TEST_F(AddressDialog, TheFieldsHoldWhatAnAddressHolds)
{
    manager::InstallAddressDialog();
    TmsMailAddress address;
    typing = [](Ui::TMailAddressDlg& ui) {
        ui.NameEdit->setText(QString(300, QLatin1Char('n')));
        ui.AddressEdit->setText(QString(300, QLatin1Char('a')));
    };
    EXPECT_TRUE(address.Edit());
    EXPECT_EQ(address.Name(), std::string(255, 'n'));
    EXPECT_EQ(address.Address(), std::string(255, 'a'));
}

}  // namespace
}  // namespace managertest
