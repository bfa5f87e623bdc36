#include "manager/dialogs/tfrm_find.h"

#include "ui_tfrm_find.h"

namespace manager {

TfrmFind::TfrmFind(QWidget* parent) : QDialog(parent), ui_(new Ui::TfrmFind)
{
    ui_->setupUi(this);
    setObjectName(QStringLiteral("frmFind"));
    setAttribute(Qt::WA_DeleteOnClose);
}

TfrmFind::~TfrmFind() = default;

}  // namespace manager
