#pragma once
// What sets the two tray processors apart: their texts, tables, settings
// section, log file, timer and command-line switches. Everything else of
// the shell is the same for both.

#include <string>
#include <vector>

#include "store/settings.h"
#include "store/table_objects.h"

namespace shell {

struct ProcessorProfile {
    store::Processor processor = store::Processor::Retriever;

    std::string applicationTitle;  // "Tarsel Mail Processor"
    std::string startupCaption;    // caption of the hidden start-up window
    std::string statusCaption;     // caption of the status window
    std::string trayHint;
    std::string aboutDescription;  // the about box's one sentence
    std::string openItemCaption;   // first tray menu item
    bool helpContents = false;     // the Help menu's "Contents..." item
    std::string helpContentsText;  // its message

    std::string onText;   // lblOnOff while processing
    std::string offText;  // lblOnOff while stopped

    std::string logFileName;  // in the program folder
    std::string singlePassText;

    std::string timerName;  // "TimerProcess" / "TimerAgents"
    int timerIntervalMs = 5000;
    // The single pass goes through the timer handler, so it runs only while
    // processing is on; else the pass is called directly.
    bool singlePassThroughTimer = true;
    // Any other first argument is reported ("not understood").
    bool reportUnknownArgument = true;
    // A first argument beginning "/D" switches the debug lines on.
    bool debugSwitch = false;
    // Log levels: 0 logs a line, 9 a debug line in debug mode, others only
    // the status bar; without this every level logs a line.
    bool logLevels = false;
    bool showFolders = true;       // the three folder labels
    bool showNodeProgress = true;  // current account, action and progress

    std::vector<store::TableObjectSpec> tables;
    std::vector<std::string> sysPropTables;  // engine property 1009 at start-up
    std::vector<std::string> openOrder;
    std::vector<std::string> sysPropAtClose;  // engine property 1009 before closing
    std::vector<std::string> closeOrder;
};

// postp
ProcessorProfile RetrieverProfile();
// posta
ProcessorProfile AgentProcessorProfile();

}  // namespace shell
