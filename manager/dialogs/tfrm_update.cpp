#include "manager/dialogs/tfrm_update.h"

#include "ui_tfrm_update.h"

namespace manager {

TfrmUpdate::TfrmUpdate(QWidget* parent) : QDialog(parent), ui_(new Ui::TfrmUpdate)
{
    ui_->setupUi(this);
    setObjectName(QStringLiteral("frmUpdate"));
    // The wizard's Cancel rejects this dialog itself.
    connect(ui_->EPWizard1, &TEPWizard::OnFinishClick, this, &QDialog::accept);
}

TfrmUpdate::~TfrmUpdate() = default;

}  // namespace manager
