#pragma once
// post32's program block: the splash first, then the application's title,
// then the windows in their fixed order (the main window's start-up runs as
// it is made; the status window comes after it), and the main window shown.
// Closing the main window ends the program.

#include <QPointer>

#include <memory>

#include "manager/dialogs/tdm.h"
#include "manager/dialogs/tsplash_form.h"

namespace manager {

class TfrmMain;
class TfrmPref;
class TfrmCustomSend;
class TForm1;
class TfrmRem;
class TfrmStatus;
class TfrmMessagePre;

class Post32Program {
public:
    // Needs the application object; makes every window, shows nothing but
    // the splash.
    Post32Program();
    ~Post32Program();
    Post32Program(const Post32Program&) = delete;
    Post32Program& operator=(const Post32Program&) = delete;

    // Shows the main window (which puts the splash away).
    void Show();

    TfrmMain& frmMain() { return *frmMain_; }
    TfrmStatus& frmStatus() { return *frmStatus_; }
    TfrmCustomSend& frmCustomSend() { return *frmCustomSend_; }
    TForm1& Form1() { return *form1_; }
    TfrmRem& frmRem() { return *frmRem_; }
    TfrmPref& frmPref() { return *frmPref_; }
    TfrmMessagePre& frmMessagePre() { return *frmMessagePre_; }
    TDM& DM() { return dm_; }
    // Null once it has closed.
    TSplashForm* Splash() const { return splash_; }

    static constexpr const char* kApplicationTitle = "Tarsel Mail Management System";

private:
    QPointer<TSplashForm> splash_;
    // In creation order; taken down in reverse.
    std::unique_ptr<TfrmMain> frmMain_;
    std::unique_ptr<TfrmPref> frmPref_;
    std::unique_ptr<TfrmCustomSend> frmCustomSend_;
    std::unique_ptr<TForm1> form1_;
    TDM dm_;
    std::unique_ptr<TfrmRem> frmRem_;
    std::unique_ptr<TfrmStatus> frmStatus_;
    std::unique_ptr<TfrmMessagePre> frmMessagePre_;
};

// The whole program: the application object, the program block,
// termination signals (which close the main window as "E&xit" does) and the
// message loop. Returns the exit code.
int RunPost32(int argc, char** argv);

}  // namespace manager
