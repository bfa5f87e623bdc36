#include "manager/core/message_operations.h"

#include <cmath>

#include "mail/net/pop3_client.h"
#include "mail/net/smtp_client.h"
#include "mail/net/tag_ras.h"
#include "manager/core/manager_error.h"
#include "manager/core/manager_tables.h"
#include "manager/core/message_files.h"
#include "platform/files.h"
#include "store/folder_tree.h"
#include "tables/apollo.h"
#include "tables/table.h"

namespace manager {

namespace {

std::string field(TTable& table, const char* name) { return table.FieldByName(name).AsString(); }

// The outbox row's fields the sent row takes over.
struct OutboxRow {
    std::string uniqueId, linkId, subject, toName, toAddress, fileName;
    TDateTime date = 0;
};

OutboxRow readOutboxRow(TTable& out)
{
    return {field(out, "UNIQUE_ID"), field(out, "LINK_ID"), field(out, "SUBJECT"), field(out, "TONAME"),
            field(out, "TOADDRESS"), field(out, "FILENAME"), out.FieldByName("DATE").AsDateTime()};
}

// Disconnects on every way out of the block.
struct DisconnectAtEnd {
    TmsSMTP& smtp;
    ~DisconnectAtEnd()
    {
        try {
            smtp.Disconnect();
        } catch (...) {
            // The block's own failure is the one to report.
        }
    }
};

}  // namespace

MessageAccount ReadMessageAccount(TTable& nodes)
{
    return {field(nodes, "UNIQUE_ID"), field(nodes, "NODE"),       field(nodes, "ADDRESS"),
            field(nodes, "SMTPADDRES"), field(nodes, "POPADDRESS"), field(nodes, "LOGIN"),
            field(nodes, "PASSWORD")};
}

const char* TableNameOf(MessageBox box)
{
    switch (box) {
    case MessageBox::Received:
        return "TableReceived";
    case MessageBox::Outbox:
        return "TableOut";
    case MessageBox::Sent:
        break;
    }
    return "TableSent";
}

const char* FolderNameOf(MessageBox box)
{
    switch (box) {
    case MessageBox::Received:
        return store::kReceivedFolderName;
    case MessageBox::Outbox:
        return store::kOutFolderName;
    case MessageBox::Sent:
        break;
    }
    return store::kSentFolderName;
}

MessageOperations::MessageOperations(ManagerTables& tables, std::string messagesFolder, Log log, NewId newUniqueId)
    : tables_(tables), messagesFolder_(std::move(messagesFolder)), log_(std::move(log)),
      newUniqueId_(std::move(newUniqueId))
{
}

TTable& MessageOperations::table(MessageBox box) { return tables_.Require(TableNameOf(box)); }

TApollo& MessageOperations::apollo(MessageBox box)
{
    table(box);
    return tables_.Apollo(TableNameOf(box));
}

MessageAccount MessageOperations::account() { return ReadMessageAccount(tables_.Require("TableNodes2")); }

std::string MessageOperations::CurrentFile(MessageBox box)
{
    TTable& rows = table(box);
    if (rows.RecordCount() == 0)
        throw ManagerError("There is no message selected.");
    return MessageFilePath(messagesFolder_, account().id, FolderNameOf(box), field(rows, "FILENAME"));
}

bool MessageOperations::DeleteMessage(MessageBox box)
{
    const std::string path = CurrentFile(box);
    if (!DeleteRegularFile(path)) {
        log_("Unable to delete " + path);
        return false;
    }
    log_("Successfully deleted " + path);
    apollo(box).Delete();
    table(box).Refresh();
    return true;
}

bool MessageOperations::MoveMessage()
{
    TTable& out = table(MessageBox::Outbox);
    TTable& sent = table(MessageBox::Sent);
    if (out.RecordCount() == 0)
        throw ManagerError("There is no message selected.");
    const OutboxRow row = readOutboxRow(out);
    const std::string accountId = account().id;
    const std::string from = MessageFilePath(messagesFolder_, row.linkId, store::kOutFolderName, row.fileName);
    const std::string outFolder = from.substr(0, from.size() - row.fileName.size());
    const std::string to = MessageFilePath(messagesFolder_, accountId, store::kSentFolderName, row.fileName);
    const std::string sentFolder = to.substr(0, to.size() - row.fileName.size());

    // The file first: rows that say "sent" must never point at nothing.
    platform::ForceDirectories(sentFolder);
    if (!platform::RenameNoReplace(from, to)) {
        log_("Failed to move " + from + " to " + to + " in sent items folder");
        return false;
    }
    sent.Append();
    sent.FieldByName("UNIQUE_ID").SetAsString(newUniqueId_());
    sent.FieldByName("LINK_ID").SetAsString(row.linkId);
    sent.FieldByName("SUBJECT").SetAsString(row.subject);
    sent.FieldByName("DATE").SetAsDateTime(std::floor(row.date));
    sent.FieldByName("TONAME").SetAsString(row.toName);
    sent.FieldByName("TOADDRESS").SetAsString(row.toAddress);
    sent.FieldByName("FILENAME").SetAsString(row.fileName);
    sent.Post();
    apollo(MessageBox::Outbox).Delete();
    out.Refresh();
    log_("Successfully moved " + outFolder + " to " + to + " in sent items folder");
    return true;
}

void MessageOperations::findOutboxRow(const std::string& accountId, const std::string& rowId)
{
    TTable& nodes = tables_.Require("TableNodes2");
    if (field(nodes, "UNIQUE_ID") != accountId && !nodes.Locate("UNIQUE_ID", accountId))
        throw ManagerError("The account of the message is gone: " + accountId);
    TTable& out = table(MessageBox::Outbox);
    if (field(out, "UNIQUE_ID") != rowId && !out.Locate("UNIQUE_ID", rowId))
        throw ManagerError("The outbox message is gone: " + rowId);
}

void MessageOperations::SendSelected(TmsSMTP& smtp, TmsMessage& message)
{
    // Pinned now: the selection may change while the socket waits.
    const MessageAccount pinned = account();
    const std::string rowId = field(table(MessageBox::Outbox), "UNIQUE_ID");
    const std::string path = CurrentFile(MessageBox::Outbox);
    smtp.SetServer(pinned.smtp);
    {
        DisconnectAtEnd closing{smtp};
        smtp.Connect();
        message.LoadFromFile(path);
        smtp.SetMailMessage(&message);
        smtp.Send();
        findOutboxRow(pinned.id, rowId);
        MoveMessage();
    }
}

void BuildOutgoingMessage(TmsMessage& message, const std::string& toAddress, const std::string& toName,
                          const std::string& fromName, const std::string& fromAddress, const std::string& subject,
                          const std::vector<std::string>& body, const std::vector<std::string>& attachmentPaths)
{
    message.Clear();
    message.SetContentType("text/plain");
    message.Recipients().AddAddress(toAddress, toName);
    message.SetSubject(subject);
    message.SetBody(body);
    message.Sender().SetName(fromName);
    message.Sender().SetAddress(fromAddress);
    for (const std::string& path : attachmentPaths)
        message.Attachments().AddFile(path);
}

std::string MessageOperations::ReSend(TmsSMTP& smtp, TagRas* ras, TmsMessage& message)
{
    const MessageAccount sender = account();
    if (sender.smtp.empty())
        return kBlankServer + sender.node;
    TTable& sent = table(MessageBox::Sent);
    const std::string toAddress = field(sent, "TOADDRESS");
    const std::string toName = field(sent, "TONAME");
    const std::string subject = field(sent, "SUBJECT");
    // The table holds no body: the sent mail file does.
    TmsMessage original;
    original.LoadFromFile(CurrentFile(MessageBox::Sent));
    BuildOutgoingMessage(message, toAddress, toName, sender.node, sender.address, subject, original.Body(), {});
    if (ras)
        ras->Connect();
    smtp.SetServer(sender.smtp);
    smtp.SetMailMessage(&message);
    smtp.SendMail();
    return {};
}

std::vector<ServerPreviewItem> MessageOperations::ServerPreview(TmsRemotePOP& pop,
                                                                const std::function<void(int, int)>& progress)
{
    const MessageAccount source = account();
    pop.SetServer(source.pop.empty() ? source.smtp : source.pop);
    pop.UserName = source.login;
    pop.Password = source.password;
    pop.KeepConnected = false;
    pop.OnNextInfoUpdated = [&](TagSocket&, int number) {
        if (progress)
            progress(number, pop.MessageCount());
    };
    pop.UpdateInfo();
    pop.OnNextInfoUpdated = nullptr;
    std::vector<ServerPreviewItem> items;
    TmsRemoteInfo& info = pop.RemoteInfo();
    for (int i = 0; i < info.Count(); ++i) {
        const TmsHeaders& headers = info.Items(i).Headers();
        std::string from = headers.GetFieldValue("From");
        if (from.empty())
            from = headers.GetFieldValue("Return-Path");
        items.push_back({headers.GetFieldValue("Subject"), info.Items(i).Size, headers.GetFieldValue("Date"), from});
    }
    return items;
}

}  // namespace manager
