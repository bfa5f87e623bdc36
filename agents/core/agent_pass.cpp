#include "agents/core/agent_pass.h"

#include <chrono>
#include <thread>

#include "agents/core/attached_agents.h"
#include "agents/core/received_lookup.h"
#include "agents/core/text_compare.h"
#include "platform/error.h"
#include "platform/event_pump.h"
#include "platform/files.h"
#include "platform/process.h"
#include "retriever/core/message_keys.h"
#include "store/folder_tree.h"
#include "store/store_error.h"
#include "tables/table.h"

namespace agents {

AgentPass::AgentPass(AgentHost& host, AgentTables tables)
    : host_(host), tables_(tables), agRas1_(std::make_unique<TagRas>()),
      attached_(std::make_unique<AttachedAgents>(tables.agents))
{
    agRas1_->ForceService = false;
    agRas1_->MinimizeAtConnect = true;
    agentSMTP_.SetRAS(agRas1_.get());
    currentMailMessage_.SetContentType("text/plain");
    currentoutmailmessage_.SetContentType("text/plain");
    if (!tables_.actions.AfterInsert)
        tables_.actions.AfterInsert = TableActionsAfterInsert;
    services.sleep = [](int seconds) { std::this_thread::sleep_for(std::chrono::seconds(seconds)); };
    services.launch = [](const std::string& commandLine, const std::vector<std::string>& extraArgs) {
        return platform::StartProcess(commandLine, extraArgs);
    };
    services.now = [] { return platform::Now(); };
}

AgentPass::~AgentPass() { agentSMTP_.SetRAS(nullptr); }

void AgentPass::SetFolders(std::string messagesFolder, std::string agentsFolder, std::string programFolder)
{
    messagesFolder_ = std::move(messagesFolder);
    agentsFolder_ = std::move(agentsFolder);
    programFolder_ = std::move(programFolder);
}

TDateTime AgentPass::now() const { return services.now ? services.now() : platform::Now(); }

void AgentPass::AgentsMain()
{
    try {
        walkAccounts();
    } catch (...) {
        endPass();
        throw;
    }
    endPass();
}

void AgentPass::endPass()
{
    currentMailMessage_.Clear();
    fileBytes_.clear();
    ++scanPasses_;
    host_.ShowScanPasses(std::to_string(scanPasses_) + " Total Scan Passes");
}

void AgentPass::walkAccounts()
{
    log("MARK1", 9);
    tables_.nodes.Refresh();
    log("MARK2", 9);
    tables_.received.Refresh();
    tables_.nodes.First();
    platform::processPendingEvents();
    log("MARK3", 9);
    while (!tables_.nodes.Eof()) {
        account_ = AccountRow{tables_.nodes.FieldByName("UNIQUE_ID").AsString(),
                              tables_.nodes.FieldByName("NODE").AsString(),
                              tables_.nodes.FieldByName("ADDRESS").AsString(),
                              tables_.nodes.FieldByName("SMTPADDRES").AsString()};
        if (account_.id.empty())
            break;
        platform::processPendingEvents();
        processAccount();
        tables_.nodes.Next();
    }
}

void AgentPass::processAccount()
{
    const std::string folder = store::PendingFolder(messagesFolder_, account_.id);
    for (const std::string& name : platform::FindFiles(folder, "*.eml")) {
        platform::processPendingEvents();
        log("Processing message " + name);
        processFile(folder, name);
    }
}

bool AgentPass::readPendingFile(const std::string& folder, const std::string& name)
{
    // One unreadable file must not hold up the queue: it stays where it is
    // and the pass goes on with the next.
    try {
        fileBytes_ = platform::ReadWholeFile(folder + name);
    } catch (const platform::FileError& error) {
        log("Unable to load for processing filename: " + folder + name);
        log(error.what());
        return false;
    }
    return true;
}

void AgentPass::loadCurrentMessage()
{
    currentMailMessage_.Clear();
    currentMailMessage_.LoadFromString(fileBytes_);
}

void AgentPass::processFile(const std::string& folder, const std::string& name)
{
    if (!readPendingFile(folder, name))
        return;
    loadCurrentMessage();
    fileHeaders_.Assign(currentMailMessage_.Headers());
    const std::string path = folder + name;

    // A pass that ended between the received row and the removal of the
    // pending file left the row behind: the agents already ran.
    if (alreadyFiled(retriever::ReceivedKeyOf(fileHeaders_, name), name)) {
        log("Completing the filing of " + path);
        copyAndRemove(folder, name, account_.id);
    } else {
        runAgents();
        // The row goes in through the table the key was looked up in (the
        // same row either way): that table's view then stays current.
        MovetoReceived(path, account_.id, lookup_ ? lookup_->table() : tables_.received, fileHeaders_);
    }
    platform::processPendingEvents();
}

void AgentPass::runAgents()
{
    bool removed = false;
    incomingChanged_ = false;
    for (const AttachedAgent& row : attached_->Of(account_.id)) {
        // Each agent sees the message as the pending file holds it; only an
        // earlier agent's forward, redirect or launch changed it.
        if (incomingChanged_) {
            loadCurrentMessage();
            incomingChanged_ = false;
        }
        agentId_ = row.id;
        log(" - Processing Agent " + row.name);
        const store::AgentDefinition agent = readAgent(row.name);
        const std::string type = UpperCase(agent.type);
        if (type == "MESSAGE" && !removed)
            removed = ProccessMESSAGEAgent(currentMailMessage_, agent);
        else if (type == "INTERVAL" && !removed)
            removed = ProccessINTERVALAgent();
        else if (type == "FUNCTION" && !removed)
            removed = ProccessFUNCTIONAgent();
    }
}

store::AgentDefinition AgentPass::readAgent(const std::string& agentName)
{
    // A name that cannot be a file name names no agent file: nothing runs.
    try {
        const std::string path = store::AgentFilePath(agentsFolder_, agentName);
        const std::optional<FileStamp> stamp = StampOf(path);
        if (!stamp)
            return store::ReadAgentFile(path);
        const auto known = agentFiles_.find(path);
        if (known != agentFiles_.end() && known->second.first == *stamp)
            return known->second.second;
        store::AgentDefinition agent = store::ReadAgentFile(path);
        if (IsSettled(*stamp))
            agentFiles_[path] = {*stamp, agent};
        return agent;
    } catch (const store::StoreError& error) {
        log(error.what());
        return {};
    }
}

bool AgentPass::ProccessINTERVALAgent()
{
    log("INTERVAL AGENT PROCESS ACTIVATED Not implemented!");
    return false;
}

bool AgentPass::ProccessFUNCTIONAgent()
{
    log("FUNCTION AGENT PROCESS ACTIVATED Not implemented");
    return false;
}

}  // namespace agents
