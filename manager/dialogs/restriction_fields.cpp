#include "manager/dialogs/restriction_fields.h"

#include <QRegularExpressionValidator>

#include "manager/core/field_limits.h"
#include "manager/dialogs/input_refusal.h"
#include "manager/dialogs/stored_width.h"

namespace manager {

namespace {

std::string text(const QLineEdit* edit) { return edit->text().toStdString(); }
std::string text(const QComboBox* box) { return box->currentText().toStdString(); }
QString qtext(const std::string& value) { return QString::fromStdString(value); }

}  // namespace

void RestrictionFields::ShowConditionPanel() const
{
    panelfieldcontains->hide();
    panelfieldsize->hide();
    panelmessagesize->hide();
    const int condition = cmbCondition->currentIndex();
    panelfieldcontains->setVisible(condition == kContains);
    panelfieldsize->setVisible(condition == kLongerThan);
    panelmessagesize->setVisible(condition == kGreaterThan);
    lblAllNote->setVisible(condition == kAllMessages);
}

void RestrictionFields::LimitInput() const
{
    // Digits only: the retriever must be able to read every stored number.
    const QRegularExpression digits(QStringLiteral("[0-9]{0,15}"));
    edtSValue->setValidator(new QRegularExpressionValidator(digits, edtSValue));
    edtNumber->setValidator(new QRegularExpressionValidator(digits, edtNumber));
    LimitToStoredWidth(*edtName, kRuleWidth);
    LimitToStoredWidth(*cmbField, kConditionWidth);
    LimitToStoredWidth(*edtValue, kConditionWidth);
    LimitToStoredWidth(*cmbSField, kConditionWidth);
}

RestrictionChoice RestrictionFields::Choice() const
{
    RestrictionChoice choice;
    choice.condition = cmbCondition->currentIndex();
    choice.field = text(cmbField);
    choice.value = text(edtValue);
    choice.lengthField = text(cmbSField);
    choice.length = text(edtSValue);
    choice.kilobytes = text(edtNumber);
    choice.retrieve = cmbAction1->currentText() == QLatin1String("YES");
    choice.remove = cmbAction2->currentText() == QLatin1String("YES");
    choice.name = text(edtName);
    return choice;
}

bool RestrictionFields::NumberPasses(const std::function<void()>& reveal) const
{
    const RestrictionChoice choice = Choice();
    QLineEdit* number = choice.condition == kLongerThan ? edtSValue : edtNumber;
    return InputPasses(number, [&] { CheckConditionNumber(choice); }, reveal);
}

bool RestrictionFields::Passes(const std::function<void()>& reveal) const
{
    return NumberPasses(reveal) && InputPasses(edtName, [this] { CheckChoice(Choice()); });
}

void RestrictionFields::SetChoice(const RestrictionChoice& choice) const
{
    cmbAction1->setCurrentIndex(choice.retrieve ? 0 : 1);
    cmbAction2->setCurrentIndex(choice.remove ? 0 : 1);
    edtName->setText(qtext(choice.name));
    cmbCondition->setCurrentIndex(choice.condition);
    switch (choice.condition) {
    case kContains:
        cmbField->setEditText(qtext(choice.field));
        edtValue->setText(qtext(choice.value));
        break;
    case kLongerThan:
        cmbSField->setEditText(qtext(choice.lengthField));
        edtSValue->setText(qtext(choice.length));
        break;
    case kGreaterThan:
        edtNumber->setText(qtext(choice.kilobytes));
        break;
    default:
        break;
    }
}

}  // namespace manager
