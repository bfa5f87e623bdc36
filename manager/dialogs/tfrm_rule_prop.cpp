#include "manager/dialogs/tfrm_rule_prop.h"

#include <QLayout>

#include <algorithm>

#include "manager/dialogs/drop_down_names.h"
#include "ui_tfrm_rule_prop.h"

namespace manager {

TfrmRuleProp::TfrmRuleProp(QWidget* parent) : QDialog(parent), ui_(new Ui::TfrmRuleProp)
{
    ui_->setupUi(this);
    setObjectName(QStringLiteral("frmRuleProp"));
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::WindowTitleHint);
    const RestrictionFields fields = Fields();
    fields.LimitInput();
    NameDropDownFields(*this);
    ui_->cmbField->setEditText(QStringLiteral("Select a Field"));
    ui_->cmbSField->setEditText(QStringLiteral("Select a field:"));
    fitTallestCondition();
    connect(ui_->cmbCondition, &QComboBox::currentIndexChanged, this, [this] { cmbConditionChange(); });
}

TfrmRuleProp::~TfrmRuleProp() = default;

RestrictionFields TfrmRuleProp::Fields() const { return RestrictionFields::Of(*ui_); }

void TfrmRuleProp::SetChoice(const RestrictionChoice& choice)
{
    Fields().SetChoice(choice);
    cmbConditionChange();
}

void TfrmRuleProp::fitTallestCondition()
{
    // Each condition has its panel in the same place, and the dialog's own
    // height does not hold the tallest with its note whole.
    const RestrictionFields fields = Fields();
    ensurePolished();
    int needed = height();
    for (int condition : {kAllMessages, kGreaterThan, kLongerThan, kContains}) {
        ui_->cmbCondition->setCurrentIndex(condition);
        fields.ShowConditionPanel();
        needed = std::max(needed, layout()->totalHeightForWidth(width()));
    }
    resize(width(), needed);
}

void TfrmRuleProp::cmbConditionChange() { Fields().ShowConditionPanel(); }

void TfrmRuleProp::accept()
{
    if (Fields().Passes())
        QDialog::accept();
}

void TfrmRuleProp::showEvent(QShowEvent* event)
{
    cmbConditionChange();
    QDialog::showEvent(event);
}

}  // namespace manager
