#include "manager/main/tfrm_main.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QShowEvent>

#include "controls/qt_text.h"
#include "manager/core/sound_switch.h"
#include "manager/dialogs/tfrm_status.h"
#include "manager/dialogs/tsplash_form.h"
#include "manager/seam/dialog_seam.h"
#include "platform/datetime.h"
#include "platform/qt/guarded_application.h"
#include "tables/error_report.h"
#include "ui_tfrm_main.h"

namespace manager {

TfrmMain::TfrmMain(QWidget* parent) : QMainWindow(parent), ui_(new Ui::TfrmMain)
{
    ui_->setupUi(this);
    setObjectName(QStringLiteral("frmMain"));
    resize(638, 450);

    QPalette black = ui_->panelBanner->palette();
    black.setColor(QPalette::Window, Qt::black);
    black.setColor(QPalette::WindowText, Qt::white);
    ui_->panelBanner->setPalette(black);
    QFont title = ui_->lblTitle->font();
    title.setPixelSize(16);
    title.setBold(true);
    ui_->lblTitle->setFont(title);

    statusPanel0_ = new QLabel(QStringLiteral("Tarsel Configuration Manager"), this);
    statusPanel0_->setObjectName(QStringLiteral("StatusPanel0"));
    statusPanel0_->setFixedWidth(300);
    statusPanel1_ = new QLabel(this);
    statusPanel1_->setObjectName(QStringLiteral("StatusPanel1"));
    statusPanel1_->setFixedWidth(50);
    ui_->StatusBar->addWidget(statusPanel0_);
    ui_->StatusBar->addWidget(statusPanel1_);

    for (QTreeWidget* list : {ui_->lstVAgents, ui_->lstVTemplates})
        list->setColumnWidth(0, 400);
    ui_->GridAgentHistory->setColumnWidth(0, 350);
    ui_->GridAgentHistory->setColumnWidth(1, 100);
    ui_->GridAgentHistory->verticalHeader()->hide();

    wireMenus();
    wireDialup();
    // The table layer's message boxes.
    previousReporter_ = tables::setErrorReporter([this](const std::string& text) { showMessage(text); });
}

TfrmMain::~TfrmMain()
{
    tables::setErrorReporter(previousReporter_);
    // No exception may reach a window that is gone.
    platform::GuardedApplication::setExceptionHandler({});
    log_.Detach();
}

void TfrmMain::wireDialup()
{
    agRas1_.MinimizeAtConnect = true;
    agRas1_.OnError = [this](TagRas&, const std::string& message) { showMessage(message); };
    agRas1_.OnStatusChange = [this](TagRas&, const std::string& status) { SendtoLog(status); };
    agRas1_.OnDisconnected = [this](TagRas&) { SendtoLog("Disconnected"); };
}

void TfrmMain::SetStatusWindow(TfrmStatus* status)
{
    frmStatus_ = status;
    log_.Attach(status);
}

std::string TfrmMain::StatusText() const { return QStringToBytes(statusPanel0_->text()); }

void TfrmMain::SendtoLog(const std::string& text, int /*level*/)
{
    const TDateTime now = platform::Now();
    statusPanel0_->setText(BytesToQString(text));
    log_.Add(StatusLog::LogLine(text, now));
    if (frmStatus_)
        frmStatus_->SetLastProcessorMessage(StatusLog::LastMessage(text, now));
}

void TfrmMain::AppException(const std::exception& error)
{
    const int count = log_.CountError();
    if (!frmStatus_) {
        showMessage(error.what());
        return;
    }
    frmStatus_->SetErrorCount(count);
    frmStatus_->SetLastError(error.what());
    QApplication::beep();
    log_.Add(StatusLog::ErrorLine(error.what(), platform::Now()));
    frmStatus_->ShowWithDetails();
}

void TfrmMain::putSplashAway()
{
    // A box of the start-up must never hide behind the always-on-top splash.
    if (splash_)
        splash_->close();
}

void TfrmMain::showMessage(const std::string& text)
{
    putSplashAway();
    DialogSeam::Information(this, BytesToQString(text));
}

bool TfrmMain::PlayWave(const std::string& fileName)
{
    const std::string file = WaveToPlay(settings_, fileName);
    if (file.empty())
        return false;
    sounds_.play(file);
    playedWaves_.push_back(fileName);
    return true;
}

void TfrmMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        Guarded([this] { FormShow(); });
}

void TfrmMain::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TfrmMain::FormResize()
{
    QTableWidget* grid = ui_->GridAgentHistory;
    grid->setColumnWidth(0, std::max(0, width() - grid->columnWidth(1) - grid->columnWidth(2) - 40));
    for (QTreeWidget* list : {ui_->lstVAgents, ui_->lstVTemplates})
        list->setColumnWidth(0, std::max(0, width() - 20));
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    // Closing is always allowed.
    Guarded([this] { FormClose(); });
    event->accept();
}

}  // namespace manager
