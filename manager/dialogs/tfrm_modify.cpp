#include "manager/dialogs/tfrm_modify.h"

#include <QApplication>
#include <QFocusEvent>
#include <QMenu>
#include <QShowEvent>

#include "manager/core/attached_agents.h"
#include "manager/core/field_limits.h"
#include "manager/core/input_checks.h"
#include "manager/core/restriction_commands.h"
#include "manager/dialogs/calendar_names.h"
#include "manager/dialogs/tab_fit.h"
#include "manager/dialogs/tfrm_rule_prop.h"
#include "manager/dialogs/input_refusal.h"
#include "manager/dialogs/stored_width.h"
#include "manager/dialogs/tfrm_rule_wiz.h"
#include "manager/seam/dialog_seam.h"
#include "ui_tfrm_modify.h"

namespace manager {

namespace {

constexpr int kRecNoRole = Qt::UserRole;

QString qtext(const std::string& text) { return QString::fromStdString(text); }
std::string text(const QLineEdit* edit) { return edit->text().toStdString(); }

}  // namespace

TfrmModify::TfrmModify(QWidget* parent, ModifyCommands commands)
    : QDialog(parent), ui_(new Ui::TfrmModify), commands_(std::move(commands))
{
    ui_->setupUi(this);
    setObjectName(QStringLiteral("frmModify"));
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::WindowTitleHint);
    setFixedSize(476, 423);
    FitTabsToWidth(*ui_->PageControl1);
    ui_->lblWarning->hide();
    QPalette tip = ui_->panelTip->palette();
    tip.setColor(QPalette::Window, tip.color(QPalette::ToolTipBase));
    ui_->panelTip->setPalette(tip);
    ui_->cal->setSelectedDate(QDate::currentDate());
    NameCalendarParts(*ui_->cal);
    LimitToStoredWidth(*ui_->edtName, kNodeWidth);
    LimitToStoredWidth(*ui_->edtAddress, kAddressWidth);
    LimitToStoredWidth(*ui_->edtSMTPAddress, kServerWidth);
    LimitToStoredWidth(*ui_->edtPopAddress, kServerWidth);
    LimitToStoredWidth(*ui_->edtUserName, kLoginWidth);
    LimitToStoredWidth(*ui_->edtPassword, kPasswordWidth);

    popupRules_ = new QMenu(this);
    popupRules_->setObjectName(QStringLiteral("PopupMenuRules"));
    popupAdd_ = popupRules_->addAction(QStringLiteral("&Add.."));
    popupRemove_ = popupRules_->addAction(QStringLiteral("&Remove..."));
    popupSeparator_ = popupRules_->addSeparator();
    popupProperties_ = popupRules_->addAction(QStringLiteral("&Properties.."));
    popupSeparator_->setVisible(false);
    popupProperties_->setVisible(false);
    popupRemove_->setEnabled(false);
    popupProperties_->setEnabled(false);
    wire();
    wireSchedule();
    ui_->IntervalTrackBar->setValue(ui_->edtMins->value());
}

TfrmModify::~TfrmModify() = default;

void TfrmModify::wire()
{
    connect(ui_->lstVRules, &QTreeWidget::itemSelectionChanged, this, [this] { lstVRulesChange(); });
    connect(ui_->lstVRules, &QTreeWidget::itemDoubleClicked, this, [this] { btnPropertiesClick(); });
    connect(ui_->lstVRules, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { popupRules_->popup(ui_->lstVRules->viewport()->mapToGlobal(at)); });
    connect(ui_->btnAdd, &QPushButton::clicked, this, [this] { btnAddClick(); });
    connect(popupAdd_, &QAction::triggered, this, [this] { btnAddClick(); });
    connect(ui_->btnRemove, &QPushButton::clicked, this, [this] { btnRemoveClick(); });
    connect(popupRemove_, &QAction::triggered, this, [this] { btnRemoveClick(); });
    connect(ui_->btnProperties, &QPushButton::clicked, this, [this] { btnPropertiesClick(); });
    connect(popupProperties_, &QAction::triggered, this, [this] { btnPropertiesClick(); });
    connect(ui_->btnAttach, &QPushButton::clicked, this, [this] { btnAttachClick(); });
    connect(ui_->btnDetach, &QPushButton::clicked, this, [this] { btnDetachClick(); });
    connect(ui_->lstVAttachedAgents, &QTreeWidget::itemSelectionChanged, this, [this] { lstVAttachedAgentsChange(); });
}

void TfrmModify::wireSchedule()
{
    connect(ui_->cal, &QCalendarWidget::selectionChanged, this, [this] { calChange(); });
    // The date is judged when the field is left, not at each key: a date
    // typed digit by digit passes through days that do not exist.
    ui_->MedtNextDate->installEventFilter(this);
    connect(ui_->btnPrevYear, &QPushButton::clicked, this, [this] { stepCalendar(-1, 0); });
    connect(ui_->btnNextYear, &QPushButton::clicked, this, [this] { stepCalendar(1, 0); });
    connect(ui_->btnPrevMonth, &QPushButton::clicked, this, [this] { stepCalendar(0, -1); });
    connect(ui_->btnNextMonth, &QPushButton::clicked, this, [this] { stepCalendar(0, 1); });
    connect(ui_->btnToday, &QPushButton::clicked, this, [this] {
        ui_->cal->setSelectedDate(QDate::currentDate());
        calChange();
    });
    connect(ui_->edtMins, &QSpinBox::valueChanged, ui_->IntervalTrackBar, &QSlider::setValue);
    connect(ui_->IntervalTrackBar, &QSlider::valueChanged, this, [this](int position) {
        ui_->edtMins->setValue(position);
        // The spin edit keeps to 1..600, and the bar follows what it kept.
        ui_->IntervalTrackBar->setValue(ui_->edtMins->value());
    });
}

void TfrmModify::guarded(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& error) {
        DialogSeam::Error(this, QString::fromStdString(error.what()));
    }
}

void TfrmModify::SetProperties(const AccountProperties& p)
{
    ui_->edtName->setText(qtext(p.name));
    ui_->MemoComments->setPlainText(qtext(p.notes));
    ui_->edtAddress->setText(qtext(p.address));
    ui_->edtUserName->setText(qtext(p.login));
    ui_->edtPassword->setText(qtext(p.password));
    ui_->edtPopAddress->setText(qtext(p.pop));
    ui_->edtSMTPAddress->setText(qtext(p.smtp));
    ui_->edtMins->setValue(std::stoi(p.minutes.empty() ? std::string("1") : p.minutes));
    int year = 0, month = 0, day = 0;
    platform::DecodeDate(p.nextDay, year, month, day);
    if (QDate::isValid(year, month, day))
        ui_->cal->setSelectedDate(QDate(year, month, day));
    ui_->MedtNextDate->setText(qtext(p.nextDate));
    if (!p.nextTime.empty())
        ui_->MedtNextTime->setText(qtext(p.nextTime));
}

AccountProperties TfrmModify::Properties() const
{
    AccountProperties p;
    p.name = text(ui_->edtName);
    p.notes = ui_->MemoComments->toPlainText().toStdString();
    p.address = text(ui_->edtAddress);
    p.login = text(ui_->edtUserName);
    p.password = text(ui_->edtPassword);
    p.pop = text(ui_->edtPopAddress);
    p.smtp = text(ui_->edtSMTPAddress);
    p.minutes = ui_->edtMins->text().toStdString();
    p.nextDate = text(ui_->MedtNextDate);
    p.nextTime = text(ui_->MedtNextTime);
    return p;
}

bool TfrmModify::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui_->MedtNextDate && event->type() == QEvent::FocusOut) {
        // Another window or a menu taking the focus does not leave the field.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            MedtNextDateChange();
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmModify::accept()
{
    MedtNextDateChange();
    const auto server = [this](QLineEdit* field, const char* what) {
        return InputPasses(field, [&] { CheckServerAddress(what, text(field)); });
    };
    if (InputPasses(ui_->edtName, [this] { CheckName("account name", text(ui_->edtName)); }) &&
        server(ui_->edtSMTPAddress, "SMTP server address") && server(ui_->edtPopAddress, "POP server address"))
        QDialog::accept();
}

void TfrmModify::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TfrmModify::FormShow()
{
    calChange();
    guarded([this] { RefreshRules(); });
}

void TfrmModify::RefreshRules()
{
    ui_->lstVRules->clear();
    for (const RestrictionItem& rule : commands_.restrictions->List()) {
        auto* item = new QTreeWidgetItem(ui_->lstVRules, QStringList{qtext(rule.rule)});
        item->setData(0, kRecNoRole, rule.recNo);
    }
    if (ui_->lstVRules->topLevelItemCount() > 0) {
        ui_->lblWarning->hide();
        return;
    }
    ui_->PageControl1->setCurrentWidget(ui_->TSRestrictions);
    QApplication::beep();
    ui_->lblWarning->show();
}

void TfrmModify::RefreshAgents()
{
    ui_->lstVAttachedAgents->clear();
    for (const AttachedAgent& agent : commands_.agents->Of(commands_.accountId)) {
        auto* item = new QTreeWidgetItem(ui_->lstVAttachedAgents, QStringList{qtext(agent.name)});
        item->setData(0, kRecNoRole, agent.recNo);
    }
}

int TfrmModify::selectedRule() const
{
    const QList<QTreeWidgetItem*> selected = ui_->lstVRules->selectedItems();
    return selected.isEmpty() ? 0 : selected.front()->data(0, kRecNoRole).toInt();
}

void TfrmModify::lstVRulesChange()
{
    const bool selected = !ui_->lstVRules->selectedItems().isEmpty();
    ui_->btnRemove->setEnabled(selected);
    ui_->btnProperties->setEnabled(selected);
    popupRemove_->setEnabled(selected);
    popupProperties_->setEnabled(selected);
}

void TfrmModify::btnAddClick()
{
    guarded([this] {
        TfrmRuleWiz wizard(this);
        if (DialogSeam::ExecModal(wizard) != QDialog::Accepted)
            return;
        commands_.restrictions->Add(wizard.Fields().Choice());
        RefreshRules();
    });
}

void TfrmModify::btnPropertiesClick()
{
    const int recNo = selectedRule();
    if (recNo == 0)
        return;
    guarded([this, recNo] {
        TfrmRuleProp properties(this);
        properties.SetChoice(ChoiceFromRow(commands_.restrictions->Read(recNo)));
        if (DialogSeam::ExecModal(properties) != QDialog::Accepted)
            return;
        commands_.restrictions->Edit(recNo, properties.Fields().Choice());
        RefreshRules();
    });
}

void TfrmModify::btnRemoveClick()
{
    const int recNo = selectedRule();
    if (recNo == 0)
        return;
    if (DialogSeam::Question(this, QStringLiteral("Are you sure you want to delete this rule?"),
                             QMessageBox::Yes | QMessageBox::No,
                             QStringLiteral("Delete Confirmation")) != QMessageBox::Yes)
        return;
    guarded([this, recNo] {
        commands_.restrictions->Remove(recNo);
        QApplication::processEvents();
        RefreshRules();
    });
}

void TfrmModify::calChange()
{
    const QDate date = ui_->cal->selectedDate();
    const TDateTime day = platform::EncodeDate(date.year(), date.month(), date.day());
    ui_->lblDateRead->setText(qtext(platform::FormatDateTime("mmmm dd yyyy", day)));
    ui_->MedtNextDate->setText(qtext(platform::FormatDateTime("mm/dd/yy", day)));
}

void TfrmModify::MedtNextDateChange()
{
    TDateTime value = 0;
    int year = 0, month = 0, day = 0;
    // Every digit of the mask is needed: "12/10/2" is no year 2002.
    if (ui_->MedtNextDate->hasAcceptableInput() && platform::TryStrToDate(text(ui_->MedtNextDate), value)) {
        platform::DecodeDate(value, year, month, day);
        ui_->cal->setSelectedDate(QDate(year, month, day));
        return;
    }
    // A date that does not exist, or is not whole, snaps back to today.
    ui_->cal->setSelectedDate(QDate::currentDate());
    calChange();
}

void TfrmModify::stepCalendar(int years, int months)
{
    const QDate date = ui_->cal->selectedDate();
    const int month = date.month() + months;
    // The calendar ignores a month outside the year and a day beyond the month.
    if (month < 1 || month > 12 || !QDate::isValid(date.year() + years, month, date.day()))
        return;
    ui_->cal->setSelectedDate(QDate(date.year() + years, month, date.day()));
}

void TfrmModify::lstVAttachedAgentsChange()
{
    const QList<QTreeWidgetItem*> selected = ui_->lstVAttachedAgents->selectedItems();
    if (selected.isEmpty() || !commands_.accounts)
        return;
    guarded([this, recNo = selected.front()->data(0, kRecNoRole).toInt()] { commands_.accounts->SelectAttachedAgent(recNo); });
}

void TfrmModify::btnAttachClick()
{
    if (commands_.attach)
        commands_.attach();
    guarded([this] { RefreshAgents(); });
}

void TfrmModify::btnDetachClick()
{
    if (ui_->lstVAttachedAgents->selectedItems().isEmpty())
        return;
    if (commands_.detach)
        commands_.detach();
    guarded([this] { RefreshAgents(); });
}

}  // namespace manager
