// Start-up of the status window: the order every processor starts in.

#include <chrono>

#include "controls/qt_text.h"
#include "platform/event_pump.h"
#include "retriever/shell/command_line.h"
#include "retriever/shell/leftover_temps.h"
#include "retriever/shell/processor_work.h"
#include "platform/qt/guarded_application.h"
#include "retriever/shell/tdm.h"
#include "retriever/shell/tfrm_main.h"
#include "retriever/shell/tform1.h"
#include "store/first_start.h"
#include "store/settings.h"
#include "ui_tfrm_main.h"

namespace shell {

void TfrmMain::FormCreate(const std::vector<std::string>& args)
{
    const auto start = std::chrono::system_clock::now();
    LoadLog();
    dm_.PassStartupProperty();
    if (work_)
        work_->LoadSockets();
    state_.DebugMode = false;
    platform::GuardedApplication::setExceptionHandler([this](const std::exception& error) { AppException(error); });

    store::Settings settings;
    const std::string service = settings.RasService();
    if (settings.AutoEnabled(profile_.processor)) {
        showProcessing(true);
        SendtoLog("Service Started");
        state_.ProcessingEnabled = true;
    } else {
        showProcessing(false);
        state_.ProcessingEnabled = false;
    }
    if (service != "None" && work_)
        work_->SetDialupService(service);

    std::vector<std::string> notices;
    const store::FolderSettings folders = settings.ReadFolders(&notices);
    for (const std::string& notice : notices)
        SendtoLog(notice);
    state_.MessagesFolder = folders.messages;
    state_.AgentsFolder = folders.agents;
    state_.DatabaseFolder = folders.database;
    store::CreateProcessorFolders(folders);
    RemoveLeftoverMailTemps(folders.messages, start);
    ui_->lblmessagespath->setText(BytesToQString(folders.messages));
    ui_->lblagentsPath->setText(BytesToQString(folders.agents));
    ui_->lblDatabases->setText(BytesToQString(folders.database));

    if (store::MakeTablesOnFirstStart(state_.DatabaseFolder))
        SendtoLog(store::FirstStartText(state_.DatabaseFolder));
    if (work_)
        work_->BeforeOpenTables();
    dm_.OpenTables(state_.DatabaseFolder);
    handleCommandLine(args);
}

void TfrmMain::handleCommandLine(const std::vector<std::string>& args)
{
    const CommandLineAction action = ParseCommandLine(args, profile_);
    switch (action.kind) {
    case CommandLineAction::SinglePass:
        singlePass_ = true;
        // Nobody would see it headless; showing it there only makes noise.
        if (!platform::IsHeadless())
            ShowStatus();
        SendtoLog(profile_.singlePassText);
        platform::processPendingEvents();
        if (profile_.singlePassThroughTimer)
            TimerTick();
        else
            RunPass();
        platform::processPendingEvents();
        form1_.close();
        break;
    case CommandLineAction::Debug:
        state_.DebugMode = true;
        SendtoLog("Running in debug mode.");
        break;
    case CommandLineAction::NotUnderstood:
        ShowMessage(NotUnderstoodText(action.argument));
        break;
    case CommandLineAction::None:
        break;
    }
}

void TfrmMain::showProcessing(bool on)
{
    form1_.ShowProcessing(on);
    ui_->lblOnOff->setText(BytesToQString(on ? profile_.onText : profile_.offText));
}

}  // namespace shell
