#include "manager/dialogs/tfrm_msg_properties.h"

#include "controls/qt_text.h"
#include "manager/dialogs/tfrm_msg_source.h"
#include "ui_tfrm_msg_properties.h"

namespace manager {

TfrmMsgProperties::TfrmMsgProperties(QWidget* parent) : QDialog(parent), ui_(new Ui::TfrmMsgProperties)
{
    ui_->setupUi(this);
    setObjectName(QStringLiteral("frmMsgProperties"));
    connect(ui_->btnSource, &QPushButton::clicked, this, [this] { btnSourceClick(); });
}

TfrmMsgProperties::~TfrmMsgProperties() = default;

void TfrmMsgProperties::btnSourceClick()
{
    // The source window frees itself when closed.
    auto* source = new TfrmMsgSource(this);
    source->show();
    source->LoadFromFile(QStringToBytes(ui_->edtFilename->text()));
}

}  // namespace manager
