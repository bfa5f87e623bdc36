#include "manager/dialogs/tfrm_custom_send.h"

#include "controls/qt_text.h"
#include "platform/ini_file.h"
#include "ui_tfrm_custom_send.h"

namespace manager {

TfrmCustomSend::TfrmCustomSend(QWidget* parent) : QDialog(parent), ui_(new Ui::TfrmCustomSend)
{
    ui_->setupUi(this);
    setObjectName(QStringLiteral("frmCustomSend"));
    const platform::IniFile mailIni("MAIL.INI");
    ui_->edtFrom->setText(BytesToQString(mailIni.ReadString("Internet", "DefaultFromAddress", "")));
    ui_->cmbEncode->setCurrentText(QStringLiteral("MIME"));
    ui_->cmbCharacterSet->setCurrentText(QStringLiteral("US ASCII"));
}

TfrmCustomSend::~TfrmCustomSend() = default;

}  // namespace manager
