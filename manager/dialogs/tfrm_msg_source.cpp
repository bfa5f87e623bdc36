#include "manager/dialogs/tfrm_msg_source.h"

#include "controls/qt_text.h"
#include "platform/error.h"
#include "platform/files.h"
#include "ui_tfrm_msg_source.h"

namespace manager {

TfrmMsgSource::TfrmMsgSource(QWidget* parent) : QWidget(parent), ui_(new Ui::TfrmMsgSource)
{
    ui_->setupUi(this);
    setObjectName(QStringLiteral("frmMsgSource"));
    setWindowFlag(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(13);
    font.setBold(true);
    ui_->memSource->setFont(font);
}

TfrmMsgSource::~TfrmMsgSource() = default;

void TfrmMsgSource::LoadFromFile(const std::string& path)
{
    try {
        ui_->memSource->setPlainText(BytesToQString(platform::ReadWholeFile(path)));
    } catch (const platform::FileError&) {
        ui_->memSource->clear();
    }
}

}  // namespace manager
