#pragma once
// The status window of a processor: its rich-text log (newest line on top,
// kept in a file beside the program), the folder and state labels, the
// On/Off button, and the timer that runs one pass per tick.

#include <QLabel>
#include <QTimer>
#include <QWidget>

#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "retriever/shell/processor_profile.h"
#include "retriever/shell/processor_state.h"
#include "tables/error_report.h"

class StatusLogView;

namespace Ui {
class TfrmMain;
}

namespace shell {

class TForm1;
class TDM;
class ProcessorWork;

class TfrmMain : public QWidget {
    Q_OBJECT

public:
    TfrmMain(const ProcessorProfile& profile, TForm1& form1, TDM& dm, QWidget* parent = nullptr);
    // Saves the log, replacing the file.
    ~TfrmMain() override;

    Ui::TfrmMain* ui() const { return ui_.get(); }
    QTimer* Timer() const { return timer_; }
    ProcessorState& State() { return state_; }
    const ProcessorProfile& Profile() const { return profile_; }
    TForm1& Form1() { return form1_; }
    TDM& DM() { return dm_; }
    void SetWork(ProcessorWork* work) { work_ = work; }

    // Start-up after the windows exist: log, settings, folders, tables and
    // the command line, in that order. An exception ends it at its step.
    void FormCreate(const std::vector<std::string>& args);

    // The text goes to the status bar; a log line goes on top of the log
    // (posta: level 0 a line, level 9 a debug line in debug mode, others
    // the status bar only).
    void SendtoLog(const std::string& text, int level = 0);
    // One error line on top of the log and a beep.
    void AppException(const std::exception& error);
    // Runs `action`; whatever it throws goes to AppException.
    template <typename F>
    void Guarded(F&& action);

    // The On/Off toggle (also the tray's Start and Stop).
    void Button1Click();
    // A timer tick: the timer is off while the pass runs and on again after
    // it, whatever the pass did; a tick during a pass starts nothing.
    void TimerTick();
    // One pass now, exceptions to AppException (the pass itself is the
    // program's work).
    void RunPass();
    void SetTimerEnabled(bool on);
    bool PassRunning() const { return passRunning_; }

    // A message for the user: a message box, or a log line when nothing
    // can be seen or the run is a single pass (from cron, say), so such a
    // run never waits on a box.
    void ShowMessage(const std::string& text);
    // Shows the window and brings it to the front (tray "Open...").
    void ShowStatus();

    // The program is ending: the timer stays off.
    void SetClosing() { closing_ = true; }
    // With no tray to close it from, closing this window ends the program.
    void SetEndsProgramOnClose(bool on) { endsProgramOnClose_ = on; }

    std::string LogFilePath() const;
    // Opens the saved log (taking in the lines of a killed run) and shows
    // its newest lines.
    void LoadLog();
    // Every line so far into the log file (each line is on disk as soon as
    // it is logged; this folds them into the rich-text file).
    void SaveLog();
    // Status bar panel 0.
    std::string StatusText() const;
    // The newest lines of the log as plain text, top first.
    std::vector<std::string> LogLines() const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void insertLogLine(const std::string& line);
    void showProcessing(bool on);
    void handleCommandLine(const std::vector<std::string>& args);

    const ProcessorProfile& profile_;
    TForm1& form1_;
    TDM& dm_;
    ProcessorWork* work_ = nullptr;
    std::unique_ptr<Ui::TfrmMain> ui_;
    QLabel* statusPanel_;
    QTimer* timer_;
    StatusLogView* log_;
    ProcessorState state_;
    bool passRunning_ = false;
    bool closing_ = false;
    bool endsProgramOnClose_ = false;
    bool singlePass_ = false;  // nobody is there to answer a message box
    tables::ErrorReporter previousReporter_;
};

template <typename F>
void TfrmMain::Guarded(F&& action)
{
    try {
        action();
    } catch (const std::exception& error) {
        AppException(error);
    } catch (...) {
        AppException(std::runtime_error("Unknown exception"));
    }
}

}  // namespace shell
