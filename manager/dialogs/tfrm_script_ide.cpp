#include "manager/dialogs/tfrm_script_ide.h"

#include "ui_tfrm_script_ide.h"

namespace manager {

TfrmScriptIDE::TfrmScriptIDE(QWidget* parent) : QWidget(parent), ui_(new Ui::TfrmScriptIDE)
{
    ui_->setupUi(this);
    setObjectName(QStringLiteral("frmScriptIDE"));
    setWindowFlag(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose);
}

TfrmScriptIDE::~TfrmScriptIDE() = default;

}  // namespace manager
