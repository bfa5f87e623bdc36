#pragma once
// One pass of the mail retriever: every account whose next polling time has
// come is polled. Its schedule moves on first, then its POP3 mailbox is
// scanned, the restrictions mark what to fetch and what to delete, and the
// fetched messages are left in the account's pending folder for the agent
// processor. The status window is reached through PassHost only, so the
// pass runs without a display.

#include <exception>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/datetime.h"
#include "retriever/core/restrictions.h"

class TTable;
class TApollo;
class TagSocket;
class TmsRemotePOP;
class TmsMessage;
class TmsHeaders;

namespace retriever {

// What the status window gives the pass.
class PassHost {
public:
    virtual ~PassHost() = default;
    virtual void SendtoLog(const std::string& text) = 0;
    // The application's handler: one error line.
    virtual void AppException(const std::exception& error) = 0;
    virtual void ShowCurrentNode(const std::string& text) = 0;
    virtual void ShowCurrentAction(const std::string& text) = 0;
    virtual void ShowProgressMax(int maximum) = 0;
    virtual void ShowProgress(int position) = 0;
    virtual void ShowScanPasses(int passes) = 0;
    virtual bool ProcessingEnabled() const = 0;
    virtual void EnableTimer() = 0;
};

// The data module's tables the pass works on.
struct PassTables {
    TTable& nodes;           // accounts, record order
    TTable& rules;           // restrictions, detail of nodes by LINK_ID
    TTable& received;        // received messages, MESSAGE_ID order
    TApollo& apolloReceived; // seeks on received
};

class MailPass {
public:
    // Binds the POP3 component's header-scan, retrieving and save events to
    // this pass.
    MailPass(PassHost& host, PassTables tables, TmsRemotePOP& pop, TmsMessage& messageTemp);
    MailPass(const MailPass&) = delete;
    MailPass& operator=(const MailPass&) = delete;

    void SetMessagesFolder(std::string folder) { messagesFolder_ = std::move(folder); }
    const std::string& MessagesFolder() const { return messagesFolder_; }

    // One pass over all accounts. An account whose schedule or restrictions
    // do not convert is logged and skipped; any other failure ends the pass
    // and leaves here.
    void ProcessMail();
    // Stores the last and next polling time of the current account row.
    void AdvanceDateTime(TTable& nodes);
    // Polls the account of the current row.
    void RetrieveMesages(TTable& nodes);

    void msRemotePOP1NextInfoUpdated(TagSocket& sender, int Num);
    void msRemotePOP1Retrieving(TagSocket& sender, int Num);
    void msRemotePOP1UserMessageSave(TagSocket& sender, int Num, std::stringstream& Contents);

    int ScanPasses() const { return scanPasses_; }
    const std::string& CurrentNodeID() const { return currentNodeId_; }

    // The clock the schedule reads (tests fix it).
    std::function<TDateTime()> Now = [] { return platform::Now(); };

private:
    std::string pendingFolder() const;
    std::string pendingFile(int index) const;
    void markMessages(const std::vector<Restriction>& rows);
    bool alreadyReceived(int index);
    // Marks for deletion alone a message received earlier whose copy is
    // kept here, when the restrictions say delete.
    void deleteIfKeptHere(int index, bool remove);
    bool keptHere(int index);
    bool isCopyOf(const std::string& path, const TmsHeaders& headers);
    void closeSession() noexcept;
    void pollAccount(TTable& nodes);

    PassHost& host_;
    PassTables tables_;
    TmsRemotePOP& pop_;
    TmsMessage& messageTemp_;
    std::string messagesFolder_;
    std::string currentNodeId_;
    int scanPasses_ = 0;
};

}  // namespace retriever
