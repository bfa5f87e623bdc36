#include "manager/dialogs/tfrm_rule_wiz.h"

#include "manager/dialogs/drop_down_names.h"
#include "manager/dialogs/wizard_picture.h"
#include "ui_tfrm_rule_wiz.h"

namespace manager {

TfrmRuleWiz::TfrmRuleWiz(QWidget* parent) : QDialog(parent), ui_(new Ui::TfrmRuleWiz)
{
    ui_->setupUi(this);
    setObjectName(QStringLiteral("frmRuleWiz"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    for (QLabel* picture : {ui_->imgWizPage1, ui_->imgWizPage2, ui_->imgWizPage3})
        SetWizardPicture(picture);
    const RestrictionFields fields = Fields();
    fields.LimitInput();
    NameDropDownFields(*this);
    ui_->cmbField->setEditText(QStringLiteral("From"));
    ui_->cmbSField->setEditText(QStringLiteral("Select a field:"));
    ui_->cmbCondition->setCurrentIndex(kContains);
    ui_->cmbAction1->setCurrentIndex(0);
    ui_->cmbAction2->setCurrentIndex(0);
    fields.ShowConditionPanel();
    connect(ui_->cmbCondition, &QComboBox::currentIndexChanged, this, [this] { cmbConditionChange(); });
    // A press of Next on the condition page says why its number will not do.
    ui_->WizPage1->setOnDoneQuery(
        [this](TEPWizardPage*, bool& done) { done = !ui_->EPWizard1->AskedByNext() || Fields().NumberPasses(); });
    ui_->WizPage3->setOnDoneQuery([this](TEPWizardPage*, bool& done) { done = !ui_->edtName->text().isEmpty(); });
    connect(ui_->edtName, &QLineEdit::textChanged, this, [this] { ui_->EPWizard1->UpdateNextButton(); });
    connect(ui_->EPWizard1, &TEPWizard::OnFinishClick, this, [this] { EPWizard1Finish(); });
}

TfrmRuleWiz::~TfrmRuleWiz() = default;

RestrictionFields TfrmRuleWiz::Fields() const { return RestrictionFields::Of(*ui_); }

void TfrmRuleWiz::cmbConditionChange() { Fields().ShowConditionPanel(); }

void TfrmRuleWiz::EPWizard1Finish()
{
    // Closed only with a restriction the account window can write.
    if (!Fields().Passes([this] { ui_->EPWizard1->setActivePage(ui_->WizPage1); }))
        return;
    setResult(QDialog::Accepted);
    accept();
}

}  // namespace manager
