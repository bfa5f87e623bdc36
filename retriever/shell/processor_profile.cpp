#include "retriever/shell/processor_profile.h"

namespace shell {

ProcessorProfile RetrieverProfile()
{
    ProcessorProfile p;
    p.processor = store::Processor::Retriever;
    p.applicationTitle = "Tarsel Mail Processor";
    p.startupCaption = "Tarsel Mail Processor Startup";
    p.statusCaption = "Tarsel Mail Retriever";
    p.trayHint = "Tarsel Main Retiever Service";
    p.aboutDescription = "Fetches the mail of every account into its pending folder.";
    p.openItemCaption = "&Open...";
    p.helpContents = true;
    p.helpContentsText =
        "Sorry, help not implemented yet.  To construct agents please use tarsel configuration manager.";
    p.onText = "Mail Processor On";
    p.offText = "Mail Processor Off";
    p.logFileName = "postproc.log";
    p.singlePassText = "Mail retriever running in single pass mode.";
    p.timerName = "TimerProcess";
    p.timerIntervalMs = 5000;
    p.singlePassThroughTimer = true;
    p.reportUnknownArgument = true;
    p.debugSwitch = false;
    p.logLevels = false;
    p.showFolders = true;
    p.showNodeProgress = true;
    p.tables = store::RetrieverTableObjects();
    p.sysPropTables = {"TableOrgs", "TableGroups", "TableNodes", "TableRules", "TablePending", "TableReceived"};
    p.openOrder = store::RetrieverOpenOrder();
    p.sysPropAtClose = {"TableNodes", "TableOrgs", "TableGroups", "TableReceived", "TableRules"};
    p.closeOrder = {"TableNodes", "TableOrgs", "TableGroups", "TableReceived", "TableRules"};
    return p;
}

ProcessorProfile AgentProcessorProfile()
{
    ProcessorProfile p;
    p.processor = store::Processor::AgentProcessor;
    p.applicationTitle = "Tarsel Agent Processor Service";
    p.startupCaption = "Tarsel Agent Startup";
    p.statusCaption = "Tarsel Agent Processor";
    p.trayHint = "Tarsel Agent Processor Service";
    p.aboutDescription = "Runs the agents of every account on its pending messages.";
    p.openItemCaption = "&Status...";
    p.helpContents = false;
    p.onText = "Agent Processor On";
    p.offText = "Agent Processor Off";
    p.logFileName = "agentproc.log";
    p.singlePassText = "Running in single pass mode.";
    p.timerName = "TimerAgents";
    p.timerIntervalMs = 1000;
    p.singlePassThroughTimer = false;
    p.reportUnknownArgument = false;
    p.debugSwitch = true;
    p.logLevels = true;
    p.showFolders = false;
    p.showNodeProgress = false;
    p.tables = store::AgentProcessorTableObjects();
    p.sysPropTables = {"TableAReceived", "TableANodes", "TableAPending", "TableAgents", "TableActions"};
    p.openOrder = store::AgentProcessorOpenOrder();
    p.closeOrder = {"TableAReceived", "TableANodes", "TableAPending", "TableAgents", "TableActions"};
    return p;
}

}  // namespace shell
