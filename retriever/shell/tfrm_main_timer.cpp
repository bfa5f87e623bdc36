// The timer discipline and the On/Off toggle.

#include "retriever/shell/processor_work.h"
#include "retriever/shell/tfrm_main.h"
#include "store/settings.h"

namespace shell {

void TfrmMain::TimerTick()
{
    // The timer is off during a pass, so only a pass that lets events run
    // and calls back here could overlap; it starts nothing.
    if (passRunning_)
        return;
    timer_->stop();
    if (state_.ProcessingEnabled)
        RunPass();
    if (!closing_)
        timer_->start();
}

void TfrmMain::RunPass()
{
    if (passRunning_ || !work_)
        return;
    passRunning_ = true;
    Guarded([this] { work_->Pass(); });
    passRunning_ = false;
}

void TfrmMain::SetTimerEnabled(bool on)
{
    if (on && !closing_)
        timer_->start();
    else
        timer_->stop();
}

void TfrmMain::Button1Click()
{
    const bool on = !state_.ProcessingEnabled;
    state_.ProcessingEnabled = on;
    if (on) {
        showProcessing(true);
        SendtoLog("Service Started");
    } else {
        SendtoLog("Service Terminated by user");
        showProcessing(false);
    }
    store::Settings().WriteAutoEnabled(profile_.processor, on);
}

}  // namespace shell
