#pragma once
// The address dialog: one mail address's display name and address edited
// in two fields. It is what TmsMailAddress::Edit shows in post32; the mail
// library itself knows no windows and reaches it through the editor that
// InstallAddressDialog sets.

#include <QDialog>

#include <memory>

#include "mail/mail_address.h"

namespace Ui {
class TMailAddressDlg;
}

namespace manager {

class TMailAddressDlg : public QDialog {
    Q_OBJECT

public:
    explicit TMailAddressDlg(QWidget* parent = nullptr);
    ~TMailAddressDlg() override;

    Ui::TMailAddressDlg* ui() const { return ui_.get(); }

    // Fills the two fields from `address`.
    void SetAddress(const TmsMailAddress& address);
    // The dialog's own address: what OK took from the fields.
    const TmsMailAddress& Address() const { return address_; }
    // The two fields into the dialog's address, then OK.
    void OKButtonClick();

private:
    std::unique_ptr<Ui::TMailAddressDlg> ui_;
    TmsMailAddress address_;
};

// Shows the dialog for `address` through the dialog seam, over the active
// window; on OK the edited name and address replace it. True on OK.
bool EditInAddressDialog(TmsMailAddress& address);

// Makes TmsMailAddress::Edit show the dialog.
void InstallAddressDialog();

}  // namespace manager
