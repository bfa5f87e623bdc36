#include "manager/dialogs/tfrm_trigger.h"

#include "controls/qt_text.h"
#include "manager/core/agent_captions.h"
#include "manager/dialogs/combo_choice.h"
#include "ui_tfrm_trigger.h"

namespace manager {

TfrmTrigger::TfrmTrigger(QWidget* parent) : QDialog(parent), ui_(new Ui::TfrmTrigger)
{
    ui_->setupUi(this);
    setObjectName(QStringLiteral("frmTrigger"));
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(351, 230);
    for (const std::string& header : TriggerHeaderChoices())
        ui_->cmbHeader->addItem(BytesToQString(header));
    for (const std::string& condition : TriggerConditionChoices())
        ui_->cmbCondition->addItem(BytesToQString(condition));
    ui_->cmbHeader->setCurrentIndex(0);
    ui_->cmbCondition->setCurrentIndex(0);
    connect(ui_->cmbHeader, &QComboBox::currentTextChanged, this, [this] { UpdateConditionLabel(); });
    connect(ui_->cmbCondition, &QComboBox::currentTextChanged, this, [this] { UpdateConditionLabel(); });
    connect(ui_->memoValue, &QLineEdit::textChanged, this, [this] { UpdateConditionLabel(); });
    ui_->cmbHeader->setFocus();
    UpdateConditionLabel();
}

TfrmTrigger::~TfrmTrigger() = default;

void TfrmTrigger::SetTrigger(const std::string& header, const std::string& condition, const std::string& value)
{
    SelectOrAdd(*ui_->cmbHeader, BytesToQString(header));
    SelectOrAdd(*ui_->cmbCondition, BytesToQString(condition));
    ui_->memoValue->setText(BytesToQString(value));
    UpdateConditionLabel();
}

std::string TfrmTrigger::Header() const { return QStringToBytes(ui_->cmbHeader->currentText()); }
std::string TfrmTrigger::Condition() const { return QStringToBytes(ui_->cmbCondition->currentText()); }
std::string TfrmTrigger::Value() const { return QStringToBytes(ui_->memoValue->text()); }

void TfrmTrigger::UpdateConditionLabel()
{
    ui_->lblCondition->setText(QStringLiteral("If the ") + ui_->cmbHeader->currentText() + QLatin1Char(' ') +
                               ui_->cmbCondition->currentText() + QLatin1Char(' ') + ui_->memoValue->text());
}

}  // namespace manager
