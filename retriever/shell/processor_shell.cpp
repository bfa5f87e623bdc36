#include "retriever/shell/processor_shell.h"

#include <QApplication>
#include <QSystemTrayIcon>

#include "controls/qt_text.h"
#include "retriever/shell/application_icon.h"
#include "retriever/shell/command_line.h"
#include "platform/qt/guarded_application.h"
#include "retriever/shell/tdm.h"
#include "platform/qt/termination_signals.h"
#include "retriever/shell/tfrm_main.h"
#include "retriever/shell/tform1.h"

namespace shell {

ProcessorShell::ProcessorShell(ProcessorProfile profile, const WorkFactory& makeWork) : profile_(std::move(profile))
{
    platform::setEventPump(&pump_);
    QGuiApplication::setApplicationDisplayName(BytesToQString(profile_.applicationTitle));
    // The status window and the about box come and go; only the start-up
    // window's close ends the program.
    QApplication::setQuitOnLastWindowClosed(false);
    if (QApplication::windowIcon().isNull())
        QApplication::setWindowIcon(ApplicationIcon());

    form1_ = std::make_unique<TForm1>(profile_);
    dm_ = std::make_unique<TDM>(profile_);
    frmMain_ = std::make_unique<TfrmMain>(profile_, *form1_, *dm_);
    if (makeWork)
        work_ = makeWork(*frmMain_);
    frmMain_->SetWork(work_.get());

    TfrmMain* main = frmMain_.get();
    TForm1* form1 = form1_.get();
    QObject::connect(form1, &TForm1::closing, main, [this] { form1Closing(); });
    QObject::connect(form1->O1, &QAction::triggered, main, [main] { main->ShowStatus(); });
    for (QAction* toggle : {form1->S1, form1->S2})
        QObject::connect(toggle, &QAction::triggered, main,
                         [main] { main->Guarded([main] { main->Button1Click(); }); });
    if (form1->C2)
        QObject::connect(form1->C2, &QAction::triggered, main,
                         [this, main] { main->Guarded([&] { main->ShowMessage(profile_.helpContentsText); }); });
    QObject::connect(form1->A1, &QAction::triggered, main, [form1, main] {
        main->Guarded([form1] { form1->aboutD->Execute(); });
    });
    QObject::connect(form1->C1, &QAction::triggered, form1, [form1] { form1->close(); });
}

ProcessorShell::~ProcessorShell()
{
    // The work refers to the status window, which saves the log as it goes.
    work_.reset();
    frmMain_.reset();
    dm_.reset();
    form1_.reset();
    platform::setEventPump(nullptr);
}

void ProcessorShell::Start(const std::vector<std::string>& args)
{
    try {
        frmMain_->FormCreate(args);
    } catch (const std::exception& error) {
        frmMain_->AppException(error);
        // A run from cron must not stay resident when it cannot start.
        if (!ended_ && ParseCommandLine(args, profile_).kind == CommandLineAction::SinglePass) {
            exitCode_ = 1;
            form1_->close();
        }
    }
    if (ended_)
        return;
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        form1_->EPTrayIcon1->setVisible(true);
    } else if (!platform::IsHeadless()) {
        // No tray to reach the program from: the status window stands in.
        frmMain_->SetEndsProgramOnClose(true);
        frmMain_->ShowStatus();
    }
    frmMain_->SetTimerEnabled(true);
}

void ProcessorShell::form1Closing()
{
    if (ended_)
        return;
    ended_ = true;
    pump_.setTerminating(true);
    frmMain_->SetClosing();
    frmMain_->SetTimerEnabled(false);
    frmMain_->Guarded([this] { dm_->CloseTables(); });
    form1_->EPTrayIcon1->setVisible(false);
    QCoreApplication::quit();
}

int ProcessorShell::Exec()
{
    if (!ended_)
        QApplication::exec();
    return exitCode_;
}

int RunProcessor(int argc, char** argv, const ProcessorProfile& profile, const ProcessorShell::WorkFactory& makeWork)
{
    platform::PrepareHeadlessEnvironment();
    platform::GuardedApplication app(argc, argv);
    ProcessorShell shell(profile, makeWork);
    platform::WatchTerminationSignals(&shell.Form1(), [&shell] { shell.Form1().close(); });
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
    shell.Start(args);
    return shell.Exec();
}

}  // namespace shell
