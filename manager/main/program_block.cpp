#include "manager/main/program_block.h"

#include <QApplication>

#include "manager/core/merge_preview.h"
#include "manager/dialogs/tform1.h"
#include "manager/dialogs/tfrm_custom_send.h"
#include "manager/dialogs/tfrm_message_pre.h"
#include "manager/dialogs/tfrm_pref.h"
#include "manager/dialogs/tfrm_rem.h"
#include "manager/dialogs/tfrm_status.h"
#include "manager/dialogs/tmail_address_dlg.h"
#include "manager/dialogs/tsplash_form.h"
#include "manager/main/tfrm_main.h"
#include "platform/qt/qt_event_pump.h"
#include "platform/qt/guarded_application.h"
#include "platform/qt/termination_signals.h"

namespace manager {

Post32Program::Post32Program()
{
    auto* splash = new TSplashForm;
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash_ = splash;
    splash->show();
    splash->repaint();
    QApplication::setApplicationDisplayName(QString::fromLatin1(kApplicationTitle));

    frmMain_ = std::make_unique<TfrmMain>();
    frmMain_->SetSplash(splash);
    frmMain_->FormCreate();
    frmPref_ = std::make_unique<TfrmPref>();
    frmCustomSend_ = std::make_unique<TfrmCustomSend>();
    form1_ = std::make_unique<TForm1>();
    frmRem_ = std::make_unique<TfrmRem>();
    frmStatus_ = std::make_unique<TfrmStatus>();
    frmMain_->SetStatusWindow(frmStatus_.get());
    frmMessagePre_ = std::make_unique<TfrmMessagePre>();
    frmMain_->SetMessageWindows(frmRem_.get(), frmCustomSend_.get());
    // The mail library's address editing and the composers' merge preview
    // reach this program's dialog and status log through hooks.
    InstallAddressDialog();
    SetMergePreviewLog([main = frmMain_.get()](const std::string& line) { main->SendtoLog(line); });
}

Post32Program::~Post32Program()
{
    SetMergePreviewLog({});
    frmMain_->SetStatusWindow(nullptr);
    if (splash_)
        delete splash_.data();
}

void Post32Program::Show() { frmMain_->show(); }

int RunPost32(int argc, char** argv)
{
    platform::GuardedApplication app(argc, argv);
    platform::QtEventPump pump;
    // Watched before the tables open: start-up lets events run, and a
    // signal then must still end the program as Exit does.
    Post32Program* running = nullptr;
    bool stopAsked = false;
    platform::WatchTerminationSignals(&app, [&running, &stopAsked] {
        if (running)
            running->frmMain().close();
        else
            stopAsked = true;
    });
    Post32Program program;
    running = &program;
    QObject::connect(&program.frmMain(), &TfrmMain::closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    int code = 0;
    if (!stopAsked) {
        program.Show();
        code = QApplication::exec();
    }
    // A main window that was never closed (the session ended first) still
    // writes its keys and closes its tables.
    program.frmMain().FormClose();
    return code;
}

}  // namespace manager
