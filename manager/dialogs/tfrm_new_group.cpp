#include "manager/dialogs/tfrm_new_group.h"

#include "manager/core/field_limits.h"
#include "manager/core/input_checks.h"
#include "manager/dialogs/input_refusal.h"
#include "manager/dialogs/stored_width.h"
#include "ui_tfrm_new_group.h"

namespace manager {

TfrmNewGroup::TfrmNewGroup(QWidget* parent) : QDialog(parent), ui_(new Ui::TfrmNewGroup)
{
    ui_->setupUi(this);
    setObjectName(QStringLiteral("frmNewGroup"));
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::WindowTitleHint);
    LimitToStoredWidth(*ui_->edtGroupName, kGroupWidth);
    ui_->edtGroupName->setFocus();
}

TfrmNewGroup::~TfrmNewGroup() = default;

std::string TfrmNewGroup::GroupName() const { return ui_->edtGroupName->text().toStdString(); }

void TfrmNewGroup::accept()
{
    if (InputPasses(ui_->edtGroupName, [this] { CheckName("folder name", GroupName()); }))
        QDialog::accept();
}

}  // namespace manager
