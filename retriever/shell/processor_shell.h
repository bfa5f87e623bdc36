#pragma once
// The program block of a tray processor: creates the start-up window, the
// data module and the status window in that order, runs start-up, the
// message loop until the start-up window closes, and takes everything down
// in reverse (the tables closed, then the log saved).

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/qt/qt_event_pump.h"
#include "retriever/shell/processor_profile.h"
#include "retriever/shell/processor_work.h"

namespace shell {

class TForm1;
class TDM;
class TfrmMain;

class ProcessorShell {
public:
    // Builds the program's own work once the windows exist.
    using WorkFactory = std::function<std::unique_ptr<ProcessorWork>(TfrmMain&)>;

    // Needs the application object.
    ProcessorShell(ProcessorProfile profile, const WorkFactory& makeWork);
    ~ProcessorShell();
    ProcessorShell(const ProcessorShell&) = delete;
    ProcessorShell& operator=(const ProcessorShell&) = delete;

    TForm1& Form1() { return *form1_; }
    TDM& DM() { return *dm_; }
    TfrmMain& FrmMain() { return *frmMain_; }
    ProcessorWork* Work() { return work_.get(); }
    const ProcessorProfile& Profile() const { return profile_; }

    // Start-up with the arguments after the program name. A failure is
    // logged; the program then runs on, except in single-pass mode, where
    // it ends.
    void Start(const std::vector<std::string>& args);
    // The start-up window has closed: the program is over.
    bool Ended() const { return ended_; }
    int ExitCode() const { return exitCode_; }
    // The message loop, unless the program has already ended.
    int Exec();

private:
    void form1Closing();

    ProcessorProfile profile_;
    // The processors pump per log line and per protocol step, a few hundred
    // times a second while a pass runs; a turn of the event loop every 10 ms
    // keeps the windows as responsive and costs a fraction of that.
    platform::QtEventPump pump_{std::chrono::milliseconds(10)};
    std::unique_ptr<TForm1> form1_;
    std::unique_ptr<TDM> dm_;
    std::unique_ptr<TfrmMain> frmMain_;
    std::unique_ptr<ProcessorWork> work_;
    bool ended_ = false;
    int exitCode_ = 0;
};

// The whole program: headless set-up, the application object, the shell,
// termination signals (which close the program as the tray's Close does),
// start-up and the message loop. Returns the exit code.
int RunProcessor(int argc, char** argv, const ProcessorProfile& profile, const ProcessorShell::WorkFactory& makeWork);

}  // namespace shell
