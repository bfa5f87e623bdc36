#include "manager/dialogs/tfrm_message_pre.h"

#include "ui_tfrm_message_pre.h"

namespace manager {

TfrmMessagePre::TfrmMessagePre(QWidget* parent) : QDialog(parent), ui_(new Ui::TfrmMessagePre)
{
    ui_->setupUi(this);
    setObjectName(QStringLiteral("frmMessagePre"));
}

TfrmMessagePre::~TfrmMessagePre() = default;

}  // namespace manager
