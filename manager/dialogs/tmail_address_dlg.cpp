#include "manager/dialogs/tmail_address_dlg.h"

#include <QApplication>

#include "controls/qt_text.h"
#include "manager/seam/dialog_seam.h"
#include "ui_tmail_address_dlg.h"

namespace manager {

TMailAddressDlg::TMailAddressDlg(QWidget* parent) : QDialog(parent), ui_(new Ui::TMailAddressDlg)
{
    ui_->setupUi(this);
    setObjectName(QStringLiteral("MailAddressDlg"));
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::WindowTitleHint);
    ui_->NameEdit->setMinimumWidth(240);
    setFixedSize(sizeHint());
    connect(ui_->OKButton, &QPushButton::clicked, this, &TMailAddressDlg::OKButtonClick);
    ui_->NameEdit->setFocus();
}

TMailAddressDlg::~TMailAddressDlg() = default;

void TMailAddressDlg::SetAddress(const TmsMailAddress& address)
{
    address_.Assign(address);
    ui_->NameEdit->setText(BytesToQString(address.Name()));
    ui_->AddressEdit->setText(BytesToQString(address.Address()));
}

void TMailAddressDlg::OKButtonClick()
{
    address_.SetName(QStringToBytes(ui_->NameEdit->text()));
    address_.SetAddress(QStringToBytes(ui_->AddressEdit->text()));
    accept();
}

bool EditInAddressDialog(TmsMailAddress& address)
{
    TMailAddressDlg dialog(QApplication::activeWindow());
    dialog.SetAddress(address);
    if (DialogSeam::ExecModal(dialog) != QDialog::Accepted)
        return false;
    address.Assign(dialog.Address());
    return true;
}

void InstallAddressDialog() { TmsMailAddress::SetEditor(EditInAddressDialog); }

}  // namespace manager
