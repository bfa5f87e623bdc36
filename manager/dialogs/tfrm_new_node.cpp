#include "manager/dialogs/tfrm_new_node.h"

#include <QShowEvent>

#include "manager/core/account_schedule.h"
#include "manager/core/field_limits.h"
#include "manager/core/input_checks.h"
#include "manager/dialogs/input_refusal.h"
#include "manager/dialogs/stored_width.h"
#include "manager/dialogs/wizard_picture.h"
#include "ui_tfrm_new_node.h"

namespace manager {

namespace {

constexpr int kRecNoRole = Qt::UserRole;

std::string text(const QLineEdit* edit) { return edit->text().toStdString(); }

}  // namespace

TfrmNewNode::TfrmNewNode(QWidget* parent) : QDialog(parent), ui_(new Ui::TfrmNewNode)
{
    ui_->setupUi(this);
    setObjectName(QStringLiteral("frmNewNode"));
    setWindowFlags(Qt::Window | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::WindowTitleHint);
    for (QLabel* picture : {ui_->imgWizPage1, ui_->imgWizPage2, ui_->imgEPWizardPage1, ui_->imgEPWizardPage2,
                            ui_->imgEPWizardPage3, ui_->imgEPWizardPage4, ui_->imgEPWizardPage5})
        SetWizardPicture(picture);
    ui_->lstGroups->setSelectionMode(QAbstractItemView::SingleSelection);
    LimitToStoredWidth(*ui_->edtNodeName, kNodeWidth);
    LimitToStoredWidth(*ui_->edtSMTP, kServerWidth);
    LimitToStoredWidth(*ui_->edtPOP, kServerWidth);
    LimitToStoredWidth(*ui_->edtUsername, kLoginWidth);
    LimitToStoredWidth(*ui_->edtPassword, kPasswordWidth);
    LimitToStoredWidth(*ui_->edtEmail, kAddressWidth);

    // While typing, an empty name only keeps Next disabled; a press of Next
    // also says why a page cannot be left.
    ui_->WizPage1->setOnDoneQuery([this](TEPWizardPage*, bool& done) {
        done = !ui_->edtNodeName->text().isEmpty() &&
               (!nextPressed() ||
                InputPasses(ui_->edtNodeName, [this] { CheckName("account name", text(ui_->edtNodeName)); }));
    });
    ui_->EPWizardPage1->setOnDoneQuery([this](TEPWizardPage*, bool& done) {
        done = !nextPressed() ||
               (InputPasses(ui_->edtSMTP, [this] { CheckServerAddress("SMTP server address", text(ui_->edtSMTP)); }) &&
                InputPasses(ui_->edtPOP, [this] { CheckServerAddress("POP server address", text(ui_->edtPOP)); }));
    });
    ui_->EPWizardPage3->setOnDoneQuery([this](TEPWizardPage*, bool&) { identificationDone(); });
    ui_->EPWizardPage4->setOnDoneQuery([this](TEPWizardPage*, bool& done) {
        done = !nextPressed() || InputPasses(ui_->edtMins, [this] { ReadPollingInterval(text(ui_->edtMins)); });
    });
    for (QLineEdit* edit : {ui_->edtNodeName, ui_->edtPOP, ui_->edtUsername, ui_->edtPassword})
        connect(edit, &QLineEdit::textChanged, this, [this] { accountFieldChanged(); });
    connect(ui_->edtSMTP, &QLineEdit::textChanged, this, [this](const QString& smtp) { ui_->edtPOP->setText(smtp); });
    connect(ui_->NewNodeWiz, &TEPWizard::OnFinishClick, this, [this] { NewNodeWizFinish(); });
}

TfrmNewNode::~TfrmNewNode() = default;

void TfrmNewNode::AddFolder(const QString& name, int recNo, bool selected)
{
    auto* item = new QListWidgetItem(name, ui_->lstGroups);
    item->setData(kRecNoRole, recNo);
    item->setSelected(selected);
    if (selected)
        ui_->lstGroups->setCurrentItem(item);
}

int TfrmNewNode::SelectedFolderRecNo() const
{
    const QList<QListWidgetItem*> selected = ui_->lstGroups->selectedItems();
    return selected.isEmpty() ? 0 : selected.front()->data(kRecNoRole).toInt();
}

NewAccountFields TfrmNewNode::Fields() const
{
    NewAccountFields fields;
    fields.name = text(ui_->edtNodeName);
    fields.smtp = text(ui_->edtSMTP);
    fields.pop = text(ui_->edtPOP);
    fields.login = text(ui_->edtUsername);
    fields.password = text(ui_->edtPassword);
    fields.address = text(ui_->edtEmail);
    fields.minutes = text(ui_->edtMins);
    fields.nextDate = text(ui_->MedtNextDate);
    fields.nextTime = text(ui_->MedtNextTime);
    fields.retrieve = ui_->cmbAction1->currentText() == QLatin1String("YES");
    fields.remove = ui_->cmbAction2->currentText() == QLatin1String("YES");
    return fields;
}

void TfrmNewNode::SetChoices(bool retrieve, bool remove)
{
    ui_->cmbAction1->setCurrentIndex(retrieve ? 0 : 1);
    ui_->cmbAction2->setCurrentIndex(remove ? 0 : 1);
}

void TfrmNewNode::FormShow()
{
    const TDateTime now = platform::Now();
    ui_->MedtNextDate->setText(QString::fromStdString(ShownDate(now)));
    ui_->MedtNextTime->setText(QString::fromStdString(ShownTime(now)));
}

void TfrmNewNode::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TfrmNewNode::NewNodeWizFinish() { accept(); }

void TfrmNewNode::accountFieldChanged()
{
    ui_->NewNodeWiz->UpdateNextButton();
    ui_->edtRealName->setText(ui_->edtNodeName->text());
}

bool TfrmNewNode::nextPressed() const { return ui_->NewNodeWiz->AskedByNext(); }

void TfrmNewNode::identificationDone()
{
    const QString email = ui_->edtEmail->text();
    const QString login = ui_->edtUsername->text();
    // A user name the user typed is the login, whatever the address says.
    if (email.isEmpty() || (!login.isEmpty() && login != filledLogin_))
        return;
    const qsizetype at = email.indexOf(QLatin1Char('@'));
    filledLogin_ = at < 0 ? QString() : email.left(at);
    ui_->edtUsername->setText(filledLogin_);
}

}  // namespace manager
