#pragma once
// The POP3 clients. TmsCustomPOP logs in and reads the mailbox status;
// TmsRemotePOP also keeps the size and header lines of every waiting message
// with marks for fetching and deleting, and transfers the marked messages,
// checking first that each is still the message that was inspected.

#include "mail/net/mail_base.h"
#include "mail/net/remote_info.h"

#include <sstream>
#include <string>

class TmsCustomPOP : public TmsMailBase {
public:
    using TmsNumNotifyEvent = std::function<void(TagSocket& Sender, int Num)>;

    TmsCustomPOP();

    std::string UserName;
    std::string Password;
    TmsNumNotifyEvent OnRetrieving, OnRetrieved, OnDeleting;

    // From the last STAT; -1 before the first.
    int MessageCount() const { return messageCount_; }
    int MailboxSize() const { return mailboxSize_; }

    // "+" is 1, "-" is -1, anything else 0.
    int GetReplyCode(std::string_view line) override;
    void Open() override;
    void Login() override;
    void Logout() override;
    virtual void CheckRequired();

    // One LIST and RETR of a message (index from 0), handed to SaveMessage.
    void RetrieveMessage(int index);
    // One DELE; a refusal raises EServerError.
    void DeleteMessage(int index);

protected:
    // Receives each fetched message, the stream positioned at its start.
    virtual void SaveMessage(int index, std::stringstream& contents) = 0;
    // Sends the command (none: reads the greeting) and requires a positive
    // reply in LastReply; a failure names the server and the command.
    void Command(const std::string& line);
    const char* ProtocolName() const override { return "POP3"; }
    // LIST of one message: its size.
    int ListSize(int index);
    // A session logged in to another mailbox on the same server is no use.
    std::string SessionIdentity() const override { return Server() + '\n' + UserName; }

private:
    void ReadStatus();
    int messageCount_ = -1;
    int mailboxSize_ = -1;
};

class TmsRemotePOP : public TmsCustomPOP {
public:
    using TNotifyEvent = TagSocket::TNotifyEvent;
    using TmsUserMsgSaveEvent = std::function<void(TagSocket& Sender, int Num, std::stringstream& Contents)>;

    const std::string& MessageDirectory() const { return messageDirectory_; }
    // A folder name; a "/" is added unless it ends with one.
    void SetMessageDirectory(const std::string& value);

    TNotifyEvent OnUpdatingInfo, OnInfoUpdated, OnTransferringData, OnDataTransfered;
    TmsNumNotifyEvent OnNextInfoUpdated;
    // When set, it alone receives every fetched message.
    TmsUserMsgSaveEvent OnUserMessageSave;

    TmsRemoteInfo& RemoteInfo() { return remoteInfo_; }
    bool KeepConnected = false;

    // Reads the size and header lines of every waiting message.
    void UpdateInfo();
    // Reads the unique id of every message UpdateInfo read (UIDL). A server
    // that refuses the command keeps none: every id is then "".
    void UpdateUniqueIds();
    void GetInfo(int index, TmsRemoteInfoItem& item);
    void MarkForRetrieve(int index) { remoteInfo_.Items(index).SetMarkedForRetrieve(true); }
    void MarkForDelete(int index) { remoteInfo_.Items(index).SetMarkedForDelete(true); }
    void Unmark(int index) { remoteInfo_.Items(index).Unmark(); }
    // Whether two header sets describe the same message (fresh one first).
    static bool SameMessage(const TmsRemoteInfoItem& fresh, const TmsRemoteInfoItem& stored);
    // Reads the message's headers again; raises "IDs are different" when they
    // no longer match what UpdateInfo saw.
    bool VerifyMessage(int index);
    // Fetches and deletes the marked messages, then logs out.
    void TransferData();

protected:
    void SaveMessage(int index, std::stringstream& contents) override;

private:
    std::string messageDirectory_;
    TmsRemoteInfo remoteInfo_;
};
