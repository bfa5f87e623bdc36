#pragma once
// One pass of the agent processor: every mail file waiting in every
// account's pending folder goes through the agents attached to the account,
// which may reply, forward, redirect, launch a program, play a sound, delay
// or stop; then the message is filed: a received row, a copy in the
// account's received folder, and the pending file removed. The status
// window is reached through AgentHost only.

#include <sys/types.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "agents/core/agent_host.h"
#include "agents/core/file_stamp.h"
#include "mail/message.h"
#include "mail/net/smtp_client.h"
#include "mail/net/tag_ras.h"
#include "platform/datetime.h"
#include "store/agent_file.h"

class TTable;
class TApollo;

namespace agents {

class AttachedAgents;
class ReceivedLookup;

// The data module's tables the pass works on.
struct AgentTables {
    TTable& nodes;            // TableANodes, record order
    TTable& agents;           // TableAgents, detail of nodes by LINK_ID
    TTable& received;         // TableAReceived, detail of nodes by LINK_ID
    TApollo& apolloReceived;
    TTable& pending;          // TableAPending
    TApollo& apolloPending;
    TTable& actions;          // TableActions
};

// What the actions reach outside the program; tests replace them.
struct AgentServices {
    std::function<void(int seconds)> sleep;  // blocks, no window handling
    std::function<pid_t(const std::string& commandLine, const std::vector<std::string>& extraArgs)> launch;
    std::function<TDateTime()> now;
};

// The account row being processed.
struct AccountRow {
    std::string id;       // UNIQUE_ID
    std::string node;     // NODE
    std::string address;  // ADDRESS
    std::string smtp;     // SMTPADDRES
};

// Longest command line or sound file name an action takes.
inline constexpr std::size_t kActionTextLimit = 255;

class AgentPass {
public:
    AgentPass(AgentHost& host, AgentTables tables);
    ~AgentPass();
    AgentPass(const AgentPass&) = delete;
    AgentPass& operator=(const AgentPass&) = delete;

    // Folders as the settings file gives them; the program folder holds
    // "temp/" for the copies handed to launched programs.
    void SetFolders(std::string messagesFolder, std::string agentsFolder, std::string programFolder);

    TmsSMTP& agentSMTP() { return agentSMTP_; }
    TagRas& agRas1() { return *agRas1_; }
    TmsMessage& currentMailMessage() { return currentMailMessage_; }
    TmsMessage& currentoutmailmessage() { return currentoutmailmessage_; }

    // One pass over all accounts. A failure of an agent or of filing ends
    // it and leaves here, after the end-of-pass step.
    void AgentsMain();

    // Runs a message agent; true when no later agent is to see the message.
    bool ProccessMESSAGEAgent(TmsMessage& message, const store::AgentDefinition& agent);
    bool ProccessINTERVALAgent();
    bool ProccessFUNCTIONAgent();

    // Files one message: its received row, its copy in the received folder,
    // and, once the copy is made, the pending file removed. The row is made
    // from `headers`, the message as its pending file holds it.
    void MovetoReceived(const std::string& path, const std::string& accountId, TTable& received,
                        const TmsHeaders& headers);
    void MovetoReceived(const std::string& path, const std::string& accountId, TTable& received,
                        const TmsMessage& message);

    // Adds and posts one action history row.
    void AddAgentEntry(const std::string& messageId, const std::string& text);

    // Packs the pending table when it can be opened exclusively.
    bool PackPending();
    // Moves the current row of `source` to `target`, and its mail file from
    // the account's pending folder to its received folder.
    void AMoveMessage(TTable& source, TTable& target);

    int ScanPasses() const { return scanPasses_; }
    const std::string& CurrentNodeID() const { return account_.id; }
    const std::vector<std::string>& TriggerResults() const { return triggerResults_; }

    AgentServices services;

private:
    void walkAccounts();
    void endPass();
    void processAccount();
    void processFile(const std::string& folder, const std::string& name);
    bool readPendingFile(const std::string& folder, const std::string& name);
    void loadCurrentMessage();
    const TmsMessage& replySource();
    void runAgents();
    store::AgentDefinition readAgent(const std::string& agentName);
    // The template's bytes, read again only when the file changed; none
    // when it cannot be read.
    std::optional<std::string> templateText(const std::string& path);

    // Filing.
    bool alreadyFiled(const std::string& key, const std::string& fileName);
    bool accountRowHolds(const std::string& key, const std::string& fileName);
    void addReceivedRow(TTable& received, const std::string& accountId, const std::string& fileName,
                        const TmsHeaders& headers);
    void copyAndRemove(const std::string& pendingFolder, const std::string& fileName,
                       const std::string& accountId);
    // Renames the file into the folder (made when missing); false when it
    // cannot be renamed there.
    bool moveFile(const std::string& from, const std::string& folder, const std::string& to);

    // Actions; those answering a Boolean answer false when the agent's
    // remaining actions are to be skipped.
    void runActions(TmsMessage& incoming, const std::vector<store::AgentAction>& actions);
    bool autoReply(const std::string& templateFile);
    // Sender, recipient, header and merge codes of the loaded reply template.
    void mergeReply(TmsMessage& out);
    void forwardTo(TmsMessage& message, const std::string& address, const std::string& text);
    void redirectTo(TmsMessage& message, const std::string& address, const std::string& text);
    void launchProgram(TmsMessage& message, const std::string& command);
    void playSound(const std::string& file);
    bool delayAgent(const std::string& seconds);
    // Sends the message; the history row `historyText` is written only once
    // the server has accepted it.
    void send(TmsMessage& message, const std::string& historyText);
    void log(const std::string& text, int level = 0) { host_.SendtoLog(text, level); }
    TDateTime now() const;

    AgentHost& host_;
    AgentTables tables_;
    std::string messagesFolder_, agentsFolder_, programFolder_;

    std::unique_ptr<TagRas> agRas1_;
    TmsSMTP agentSMTP_;
    TmsMessage currentMailMessage_;
    TmsMessage currentoutmailmessage_;
    // The pending file as read once per message: each agent gets the
    // message as the file holds it, and filing uses the file's headers.
    std::string fileBytes_;
    TmsHeaders fileHeaders_;
    // The incoming message as the file holds it, for a reply made after a
    // forward or redirect changed currentMailMessage.
    TmsMessage replySource_;
    bool incomingChanged_ = false;
    std::unique_ptr<AttachedAgents> attached_;
    std::unique_ptr<ReceivedLookup> lookup_;
    // Agent files and the last template as read, with the stamps they had.
    std::map<std::string, std::pair<FileStamp, store::AgentDefinition>> agentFiles_;
    struct TemplateFile {
        std::string path;
        FileStamp stamp;
        std::string bytes;
    } template_;

    AccountRow account_;
    std::string agentId_;      // UNIQUE_ID of the attached agent in work
    std::string messageId_;    // Message-ID of the message in work
    std::string toOverride_;
    bool removeFurther_ = false;
    std::vector<std::string> triggerResults_;
    int scanPasses_ = 0;
};

// The after-insert event of the actions table: stamps CREATEON and
// CREATEAT ("hh:mm").
void TableActionsAfterInsert(TTable& table);

}  // namespace agents
