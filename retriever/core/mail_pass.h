#pragma once
// One pass of the mail retriever: every account whose next polling time has
// come is polled. Its schedule moves on first, then its POP3 mailbox is
// scanned, the restrictions mark what to fetch and what to delete, and the
// fetched messages are left in the account's pending folder for the agent
// processor. A server message counts as kept here only when its unique id
// names a copy here, or when its own text is that of a copy; a different
// message whose key is taken is saved under a key of its own. The status
// window is reached through PassHost only, so the pass runs without a
// display.

#include <exception>
#include <functional>
#include <memory>
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

class KeptIds;

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
    ~MailPass();
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
    // Where a fetched message goes: it is kept here already, or it is saved
    // under a free key, or it stays on the server for the reason given.
    struct Placement {
        enum class Kind { Kept, Free, Left } kind;
        std::string key;
        std::string reason;
    };

    std::string pendingFolder() const;
    std::string receivedFolder() const;
    void markMessages(const std::vector<Restriction>& rows);
    // Whether the server message is known by its unique id to have a copy
    // here, waiting or filed.
    bool keptHere(int index) const;
    // Whether a received row holds the message's key while no file of that
    // key is here: nothing can tell whether it is this message.
    bool receivedWithoutCopy(int index);
    bool receivedKeyTaken(const std::string& key);
    // The copy of `key` in the pending or the received folder, "" when none.
    std::string fileOfKey(const std::string& key) const;
    // Where a fetched message goes: `raw` as the server sent it, `written`
    // as the mail writer writes it.
    Placement placeMessage(int index, std::string_view raw, const std::string& written);
    // Adds the message's unique id to the account's list, with its key.
    void remember(int index, const std::string& key);
    // After a session that ended well: the list forgets the messages that
    // are no longer on the server.
    void forgetMessagesGone();
    std::string leftOnServer(int index, const std::string& reason) const;
    void closeSession() noexcept;
    void pollAccount(TTable& nodes);

    PassHost& host_;
    PassTables tables_;
    TmsRemotePOP& pop_;
    TmsMessage& messageTemp_;
    std::string messagesFolder_;
    std::string currentNodeId_;
    // The account's kept messages by unique id, for the poll under way.
    std::unique_ptr<KeptIds> keptIds_;
    int scanPasses_ = 0;
};

}  // namespace retriever
