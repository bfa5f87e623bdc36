#include "manager/dialogs/tfrm_status.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QShowEvent>
#include <QToolTip>

#include "controls/office_button.h"
#include "controls/qt_text.h"
#include "controls/status_log_view.h"
#include "manager/dialogs/centre_on_screen.h"
#include "ui_tfrm_status.h"

namespace manager {

namespace {

void setPixelFont(QWidget* widget, const QString& family, bool bold)
{
    QFont font(family);
    font.setPixelSize(11);
    font.setBold(bold);
    widget->setFont(font);
}

}  // namespace

TfrmStatus::TfrmStatus(QWidget* parent) : QWidget(parent), ui_(new Ui::TfrmStatus)
{
    ui_->setupUi(this);
    setObjectName(QStringLiteral("frmStatus"));
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedWidth(516);
    resize(516, kFoldedHeight);
    CentreOnScreen(*this);

    QPalette tip = palette();
    tip.setColor(QPalette::Window, QToolTip::palette().color(QPalette::ToolTipBase));
    setPalette(tip);
    setAutoFillBackground(true);
    setPixelFont(this, QStringLiteral("Arial"), false);
    for (QLabel* value : {ui_->lblActiveOn, ui_->lblPScans, ui_->lblAScans, ui_->lblNumErrors, ui_->lblNumWarings,
                          ui_->lblLastError, ui_->lblLastPMessage, ui_->lblLastAMessage, ui_->lblCurrentNode,
                          ui_->lblCurrentAction}) {
        setPixelFont(value, QStringLiteral("MS Sans Serif"), true);
        QPalette black = value->palette();
        black.setColor(QPalette::WindowText, Qt::black);
        value->setPalette(black);
    }
    // The manager's log lives in memory for the run only.
    logView_ = new StatusLogView(*ui_->REStatus, std::string(), this);
    logView_->Load();

    connect(ui_->btnDetails, &TOfficeButton::clicked, this, [this] { btnDetailsClick(); });
    connect(ui_->btnClose, &TOfficeButton::clicked, this, [this] { btnCloseClick(); });
    connect(ui_->btnCancel, &QPushButton::clicked, this, [this] { btnCloseClick(); });
}

TfrmStatus::~TfrmStatus() = default;

void TfrmStatus::setDetails(bool open)
{
    tag_ = open ? kDetailsOpen : 0;
    setFixedHeight(open ? kOpenHeight : kFoldedHeight);
    ui_->btnDetails->setCaption(open ? QStringLiteral("Hide Details <<") : QStringLiteral("Details >>"));
}

void TfrmStatus::btnDetailsClick() { setDetails(!DetailsOpen()); }

void TfrmStatus::btnCloseClick() { hide(); }

void TfrmStatus::ShowWithDetails()
{
    tag_ = kDetailsOpen;
    if (isVisible())
        setDetails(true);
    show();
    raise();
    activateWindow();
}

void TfrmStatus::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    setDetails(DetailsOpen());
}

void TfrmStatus::keyPressEvent(QKeyEvent* event)
{
    // Escape presses the hidden Close, the window's cancel button.
    if (event->key() == Qt::Key_Escape) {
        ui_->btnCancel->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TfrmStatus::closeEvent(QCloseEvent* event)
{
    // The close box folds the details; the window is only hidden.
    if (DetailsOpen())
        setDetails(false);
    event->accept();
}

void TfrmStatus::SetErrorCount(int count) { ui_->lblNumErrors->setText(QString::number(count)); }

void TfrmStatus::SetLastError(const std::string& message) { ui_->lblLastError->setText(BytesToQString(message)); }

void TfrmStatus::SetLastProcessorMessage(const std::string& text)
{
    ui_->lblLastPMessage->setText(BytesToQString(text));
}

void TfrmStatus::InsertTopLine(const std::string& line) { logView_->AddLine(line); }

std::vector<std::string> TfrmStatus::LogLines() const { return logView_->Lines(); }

}  // namespace manager
