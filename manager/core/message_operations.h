#pragma once
// The operations on the single messages of the selected account: delete,
// move an outbox row and its file to the sent table and folder, send the
// outbox message, re-send a sent one, and read what waits on the server.
// They work on the manager's tables and the account's message folders;
// the main window asks the questions and shows the results.

#include <functional>
#include <string>
#include <vector>

#include "mail/message.h"

class TTable;
class TApollo;
class TmsSMTP;
class TmsRemotePOP;
class TagRas;

namespace manager {

class ManagerTables;

// The selected account's fields the operations use (TableNodes2's row).
struct MessageAccount {
    std::string id, node, address, smtp, pop, login, password;
};
MessageAccount ReadMessageAccount(TTable& nodes);

// The three message tables with their folder.
enum class MessageBox { Received, Outbox, Sent };
const char* TableNameOf(MessageBox box);  // "TableReceived", "TableOut", "TableSent"
const char* FolderNameOf(MessageBox box);  // "In", "Out", "Sent"

// One message waiting on the server, as the preview list shows it.
struct ServerPreviewItem {
    std::string subject;
    int size = 0;
    std::string date;
    std::string from;  // From, or Return-Path when From is empty
};

class MessageOperations {
public:
    using Log = std::function<void(const std::string&)>;
    using NewId = std::function<std::string()>;

    MessageOperations(ManagerTables& tables, std::string messagesFolder, Log log, NewId newUniqueId);

    // The mail file of the current row of that box.
    std::string CurrentFile(MessageBox box);
    // Deletes the current row's file, then the row; a file that cannot be
    // deleted leaves the row and logs "Unable to delete PATH". True when
    // both went.
    bool DeleteMessage(MessageBox box);
    // Moves the current outbox row's file into the account's Sent folder
    // (never over a file there), and only then the row: a sent row with a
    // new UNIQUE_ID and the outbox row's fields, the outbox row deleted.
    // True when moved; otherwise nothing but the log line changed.
    bool MoveMessage();
    // Sends the current outbox message with its own envelope and moves it.
    // The account and the row are pinned before connecting and found again
    // afterwards, so a selection changed during the send moves the right
    // one. The connection is closed whatever happens.
    void SendSelected(TmsSMTP& smtp, TmsMessage& message);
    // Sends a new message built from the current sent row and its mail
    // file's body. Returns the notice for a blank server (nothing sent),
    // else empty.
    std::string ReSend(TmsSMTP& smtp, TagRas* ras, TmsMessage& message);
    // Reads size and headers of every waiting message; `progress` runs for
    // each one read (its number from 0 and the count).
    std::vector<ServerPreviewItem> ServerPreview(TmsRemotePOP& pop,
                                                 const std::function<void(int, int)>& progress = {});

    static constexpr const char* kBlankServer = "The Server Name is blank for node - ";

private:
    TTable& table(MessageBox box);
    TApollo& apollo(MessageBox box);
    MessageAccount account();
    // Puts TableNodes2 and the outbox back on the pinned rows.
    void findOutboxRow(const std::string& accountId, const std::string& rowId);

    ManagerTables& tables_;
    std::string messagesFolder_;
    Log log_;
    NewId newUniqueId_;
};

// Builds `message` as Re-Send and the main window's SendMessage do.
void BuildOutgoingMessage(TmsMessage& message, const std::string& toAddress, const std::string& toName,
                          const std::string& fromName, const std::string& fromAddress, const std::string& subject,
                          const std::vector<std::string>& body, const std::vector<std::string>& attachmentPaths);

}  // namespace manager
