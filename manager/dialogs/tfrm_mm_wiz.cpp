#include "manager/dialogs/tfrm_mm_wiz.h"

#include "manager/seam/dialog_seam.h"
#include "ui_tfrm_mm_wiz.h"

namespace manager {

namespace {

constexpr int kLastStep = 3;

// The file fields show their text in upper case, as typed.
void upperCaseField(QLineEdit* field)
{
    QObject::connect(field, &QLineEdit::textEdited, field, [field](const QString& text) {
        const int at = field->cursorPosition();
        field->setText(text.toUpper());
        field->setCursorPosition(at);
    });
}

}  // namespace

TfrmMMWiz::TfrmMMWiz(QWidget* parent) : QDialog(parent), ui_(new Ui::TfrmMMWiz)
{
    ui_->setupUi(this);
    setObjectName(QStringLiteral("frmMMWiz"));
    setAttribute(Qt::WA_DeleteOnClose);
    upperCaseField(ui_->edtMessageFile);
    upperCaseField(ui_->edtDataFile);
    connect(ui_->btnNext, &QPushButton::clicked, this, [this] { btnNextClick(); });
    connect(ui_->btnBack, &QPushButton::clicked, this, [this] { btnBackClick(); });
    connect(ui_->btnBrowseMessage, &QPushButton::clicked, this, [this] { btnBrowseMessageClick(); });
    connect(ui_->btnBrowseData, &QPushButton::clicked, this, [this] { btnBrowseDataClick(); });
    showStep();
}

TfrmMMWiz::~TfrmMMWiz() = default;

void TfrmMMWiz::showStep() { ui_->stackSteps->setCurrentIndex(std::min(step_, kLastStep) - 1); }

void TfrmMMWiz::btnNextClick()
{
    // No step follows the third: Next stays on it.
    step_ = std::min(step_ + 1, kLastStep);
    showStep();
}

void TfrmMMWiz::btnBackClick()
{
    step_ = std::max(step_ - 1, 1);
    showStep();
}

void TfrmMMWiz::btnBrowseMessageClick()
{
    const QString file = DialogSeam::ChooseFile(
        this, {QString(), QStringLiteral("Rich Text (*.rtf);;All Files (*)"), QStringLiteral("RTF"), false});
    if (!file.isEmpty())
        ui_->edtMessageFile->setText(file.toUpper());
}

void TfrmMMWiz::btnBrowseDataClick()
{
    const QString file = DialogSeam::ChooseFile(
        this, {QString(),
               QStringLiteral("dBase III+ (*.dbf);;ASCII Comma Delimited (*.txt *.asc *.csv);;All Files (*)"),
               QStringLiteral("DBF"), false});
    if (!file.isEmpty())
        ui_->edtDataFile->setText(file.toUpper());
}

}  // namespace manager
