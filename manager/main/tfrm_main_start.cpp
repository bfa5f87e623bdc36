// The main window's start-up and shut-down.

#include "manager/core/manager_settings.h"
#include "manager/dialogs/tsplash_form.h"
#include "manager/main/tfrm_main.h"
#include "platform/event_pump.h"
#include "platform/qt/guarded_application.h"
#include "store/first_start.h"

namespace manager {

void TfrmMain::FormCreate()
{
    platform::GuardedApplication::setExceptionHandler([this](const std::exception& error) { AppException(error); });
    // An exception ends start-up at its step; the window opens with the
    // tables opened so far.
    Guarded([this] {
        const StartupSettings startup = ReadStartupSettings(settings_, agRas1_);
        folders_ = startup.folders;
        foldersRead_ = true;
        for (const std::string& notice : startup.notices)
            SendtoLog(notice);
        store::CreateManagerFolders(folders_);
        if (store::MakeTablesOnFirstStart(folders_.database))
            SendtoLog(store::FirstStartText(folders_.database));
        tables_.PassStartupProperty();
        tables_.SetDatabaseFolder(folders_.database);
        tables_.OpenInStartupOrder();
        populateGroups();
        platform::processPendingEvents();
    });
}

void TfrmMain::FormShow()
{
    // The splash may already be gone (a click closes it).
    if (splash_)
        splash_->close();
    RefreshAgents();
    RefreshTemplates();
    populateGroups();
}

void TfrmMain::FormClose()
{
    if (closed_)
        return;
    closed_ = true;
    try {
        if (foldersRead_)
            WriteShutdownSettings(settings_, folders_);
    } catch (...) {
        // The tables are closed whatever became of the settings file.
        tables_.CloseAtExit();
        emit closed();
        throw;
    }
    tables_.CloseAtExit();
    emit closed();
}

}  // namespace manager
