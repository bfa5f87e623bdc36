#include "retriever/shell/tfrm_main.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMessageBox>

#include <cstdio>

#include "controls/qt_text.h"
#include "controls/status_log_view.h"
#include "platform/datetime.h"
#include "platform/error.h"
#include "platform/event_pump.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/qt/guarded_application.h"
#include "retriever/shell/tform1.h"
#include "ui_tfrm_main.h"

namespace shell {

TfrmMain::TfrmMain(const ProcessorProfile& profile, TForm1& form1, TDM& dm, QWidget* parent)
    : QWidget(parent), profile_(profile), form1_(form1), dm_(dm), ui_(new Ui::TfrmMain)
{
    ui_->setupUi(this);
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(BytesToQString(profile.statusCaption));

    statusPanel_ = new QLabel(this);
    statusPanel_->setMinimumWidth(200);
    ui_->StatusBar->addWidget(statusPanel_);

    for (QWidget* w : {static_cast<QWidget*>(ui_->lblDatabases), static_cast<QWidget*>(ui_->lblagentsPath),
                       static_cast<QWidget*>(ui_->lblmessagespath)})
        w->setVisible(profile.showFolders);
    for (QWidget* w : {static_cast<QWidget*>(ui_->lblCurrentNode), static_cast<QWidget*>(ui_->lblCurrentAction),
                       static_cast<QWidget*>(ui_->progNode)})
        w->setVisible(profile.showNodeProgress);
    ui_->lblOnOff->setText(BytesToQString(profile.offText));

    timer_ = new QTimer(this);
    timer_->setObjectName(QString::fromStdString(profile.timerName));
    timer_->setInterval(profile.timerIntervalMs);
    connect(timer_, &QTimer::timeout, this, [this] { TimerTick(); });
    connect(ui_->Button1, &QPushButton::clicked, this, [this] { Guarded([this] { Button1Click(); }); });

    log_ = new StatusLogView(*ui_->REStatus, LogFilePath(), this);

    // The table layer's messages become log lines.
    previousReporter_ = tables::setErrorReporter([this](const std::string& text) { SendtoLog(text); });
}

TfrmMain::~TfrmMain()
{
    tables::setErrorReporter(previousReporter_);
    platform::GuardedApplication::setExceptionHandler({});
    try {
        platform::ForceDirectories(platform::ProgramDir());
        log_->Close();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
    }
}

std::string TfrmMain::LogFilePath() const { return platform::ProgramDir() + profile_.logFileName; }

void TfrmMain::LoadLog()
{
    // A missing log is created here, empty.
    platform::ForceDirectories(platform::ProgramDir());
    log_->Load();
}

void TfrmMain::SaveLog()
{
    platform::ForceDirectories(platform::ProgramDir());
    log_->Save();
}

void TfrmMain::insertLogLine(const std::string& line) { log_->AddLine(line); }

void TfrmMain::SendtoLog(const std::string& text, int level)
{
    statusPanel_->setText(BytesToQString(text));
    if (!profile_.logLevels || level == 0)
        insertLogLine(platform::DateTimeToStr(platform::Now()) + " -- " + text);
    else if (level == 9 && state_.DebugMode)
        insertLogLine("DEBUGMESSAGE -- " + text);
    if (profile_.logLevels)
        platform::processPendingEvents();
}

void TfrmMain::AppException(const std::exception& error)
{
    QApplication::beep();
    insertLogLine(platform::DateTimeToStr(platform::Now()) + " -- Error-" + error.what());
}

void TfrmMain::ShowMessage(const std::string& text)
{
    if (platform::IsHeadless() || singlePass_) {
        SendtoLog(text);
        return;
    }
    QMessageBox::information(nullptr, QGuiApplication::applicationDisplayName(), BytesToQString(text));
}

void TfrmMain::ShowStatus()
{
    showNormal();
    raise();
    activateWindow();
}

std::string TfrmMain::StatusText() const { return QStringToBytes(statusPanel_->text()); }

std::vector<std::string> TfrmMain::LogLines() const { return log_->Lines(); }

void TfrmMain::closeEvent(QCloseEvent* event)
{
    event->accept();
    if (endsProgramOnClose_)
        form1_.close();
}

}  // namespace shell
