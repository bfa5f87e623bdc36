#include "manager/dialogs/tfrm_pref.h"

#include <QShowEvent>

#include "controls/qt_text.h"
#include "ui_tfrm_pref.h"

namespace manager {

TfrmPref::TfrmPref(QWidget* parent) : QDialog(parent), ui_(new Ui::TfrmPref)
{
    ui_->setupUi(this);
    setObjectName(QStringLiteral("frmPref"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    for (QRadioButton* option : {ui_->optLAN, ui_->optManual, ui_->optDUN})
        connect(option, &QRadioButton::clicked, this, [this] { optClick(); });
}

TfrmPref::~TfrmPref() = default;

void TfrmPref::optClick()
{
    const bool dialup = ui_->optDUN->isChecked();
    ui_->lblRasSpec->setEnabled(dialup);
    ui_->RASComboBox->setEnabled(dialup);
}

void TfrmPref::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    optClick();
}

void TfrmPref::Fill(const PreferenceValues& values)
{
    entries_ = values.dialupEntries;
    ui_->RASComboBox->clear();
    for (const std::string& entry : entries_)
        ui_->RASComboBox->addItem(BytesToQString(entry));
    ui_->RASComboBox->setCurrentIndex(values.dialupIndex);
    switch (values.method) {
    case ConnectMethod::Lan:
        ui_->optLAN->setChecked(true);
        break;
    case ConnectMethod::Manual:
        ui_->optManual->setChecked(true);
        break;
    case ConnectMethod::Dialup:
        ui_->optDUN->setChecked(true);
        break;
    }
    ui_->chkDisableSounds->setChecked(values.soundsDisabled);
    ui_->edtMessagesPath->setText(BytesToQString(values.folders.messages));
    ui_->edtAgentsPath->setText(BytesToQString(values.folders.agents));
    ui_->edtTemplates->setText(BytesToQString(values.folders.templates));
    ui_->edtDatabases->setText(BytesToQString(values.folders.database));
    optClick();
}

PreferenceValues TfrmPref::Values() const
{
    PreferenceValues values;
    values.dialupEntries = entries_;
    values.dialupIndex = ui_->RASComboBox->currentIndex();
    values.method = ui_->optDUN->isChecked()      ? ConnectMethod::Dialup
                    : ui_->optManual->isChecked() ? ConnectMethod::Manual
                                                  : ConnectMethod::Lan;
    values.soundsDisabled = ui_->chkDisableSounds->isChecked();
    values.folders.messages = QStringToBytes(ui_->edtMessagesPath->text());
    values.folders.agents = QStringToBytes(ui_->edtAgentsPath->text());
    values.folders.templates = QStringToBytes(ui_->edtTemplates->text());
    values.folders.database = QStringToBytes(ui_->edtDatabases->text());
    return values;
}

}  // namespace manager
