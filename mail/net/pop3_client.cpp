#include "mail/net/pop3_client.h"

#include "mail/mail_error.h"
#include "mail/net/net_errors.h"
#include "mail/net/pop3_unique_ids.h"
#include "mail/net/reply_numbers.h"

#include <fstream>

TmsCustomPOP::TmsCustomPOP()
{
    serviceName_ = "pop3";
    SetDefaultPort(110);
}

int TmsCustomPOP::GetReplyCode(std::string_view line)
{
    if (line.empty())
        return 0;
    if (line[0] == '+')
        return 1;
    if (line[0] == '-')
        return -1;
    return 0;
}

void TmsCustomPOP::CheckRequired()
{
    if (UserName.empty())
        RaiseError(mail::kUserNameRequired);
    if (Password.empty())
        RaiseError(mail::kPasswordRequired);
}

void TmsCustomPOP::Open()
{
    CheckRequired();
    Reset();
    TmsMailBase::Open();
}

void TmsCustomPOP::Command(const std::string& line)
{
    // A failure names the command, but never the password.
    const std::string shown = line.rfind("PASS ", 0) == 0 ? std::string("PASS") : line;
    if (line.empty()) {
        SetStep(Step::Greeting);
    } else {
        SetStep(Step::Sending, shown);
        SendLine(line);
        SetStep(Step::Answer, shown);
    }
    if (!ReadLineRaw(lastReply_))
        RaiseIfNoLine();
    if (GetReplyCode(lastReply_) != 1)
        RaiseRefused();
    // A data block may follow the positive reply.
    if (!line.empty())
        SetStep(Step::Receiving, shown);
}

void TmsCustomPOP::Login()
{
    Reset();
    ConnectSocket();
    Command("");  // the greeting
    Command("USER " + UserName);
    Command("PASS " + Password);
    Command("STAT");
    ReadStatus();
    SessionStarted();
}

void TmsCustomPOP::ReadStatus()
{
    std::string rest = lastReply_.size() > 4 ? lastReply_.substr(4) : std::string();
    std::size_t blank = rest.find(' ');
    if (blank == std::string::npos)
        return;
    int count = mail::net::strictInteger(rest.substr(0, blank));
    rest.erase(0, blank + 1);
    int size = mail::net::strictInteger(rest.substr(0, rest.find(' ')));
    messageCount_ = count;
    mailboxSize_ = size;
}

void TmsCustomPOP::Logout() { Command("QUIT"); }

int TmsCustomPOP::ListSize(int index)
{
    Command("LIST " + std::to_string(index + 1));
    return mail::net::listedSize(lastReply_);
}

void TmsCustomPOP::RetrieveMessage(int index)
{
    int size = ListSize(index);
    if (OnRetrieving)
        OnRetrieving(*this, index);
    Command("RETR " + std::to_string(index + 1));
    std::stringstream contents;
    ReceiveData(contents, size);
    contents.seekg(0);
    SaveMessage(index, contents);
    if (OnRetrieved)
        OnRetrieved(*this, index);
}

void TmsCustomPOP::DeleteMessage(int index)
{
    if (OnDeleting)
        OnDeleting(*this, index);
    // A refused DELE leaves the message on the server: the caller must know.
    Command("DELE " + std::to_string(index + 1));
}

void TmsRemotePOP::SetMessageDirectory(const std::string& value)
{
    messageDirectory_ = value;
    if (!value.empty() && value.back() != '/')
        messageDirectory_ += '/';
}

void TmsRemotePOP::GetInfo(int index, TmsRemoteInfoItem& item)
{
    item.Size = ListSize(index);
    Command("TOP " + std::to_string(index + 1) + " 1");
    std::ostringstream block;
    ReceiveData(block, -1);
    item.Headers().SetText(block.str());
    item.Headers().CutAtBlankLine();
}

void TmsRemotePOP::UpdateInfo()
{
    Connect();
    if (OnUpdatingInfo)
        OnUpdatingInfo(*this);
    remoteInfo_.Clear();
    for (int index = 0; index < MessageCount(); ++index) {
        auto item = std::make_unique<TmsRemoteInfoItem>();
        GetInfo(index, *item);
        remoteInfo_.Add(std::move(item));
        if (OnNextInfoUpdated)
            OnNextInfoUpdated(*this, remoteInfo_.Count() - 1);
    }
    if (!KeepConnected)
        Disconnect();
    if (OnInfoUpdated)
        OnInfoUpdated(*this);
}

void TmsRemotePOP::UpdateUniqueIds()
{
    const int count = remoteInfo_.Count();
    for (int index = 0; index < count; ++index)
        remoteInfo_.Items(index).UniqueId.clear();
    if (count == 0)
        return;
    try {
        Command("UIDL");
    } catch (const EServerError&) {
        return;  // an optional command: the server keeps no ids
    }
    std::ostringstream block;
    ReceiveData(block, -1);
    const std::vector<std::string> ids = mail::net::uniqueIdsOfListing(block.str(), count);
    for (int index = 0; index < count; ++index)
        remoteInfo_.Items(index).UniqueId = ids[static_cast<std::size_t>(index)];
}

bool TmsRemotePOP::SameMessage(const TmsRemoteInfoItem& fresh, const TmsRemoteInfoItem& stored)
{
    std::string freshId = fresh.Headers().GetFieldValue("Message-ID");
    std::string storedId = stored.Headers().GetFieldValue("Message-ID");
    if (!freshId.empty() && !storedId.empty())
        return freshId == storedId;
    int common = std::min(fresh.Headers().Count(), stored.Headers().Count());
    for (int line = 0; line < common; ++line)
        if (fresh.Headers()[line] != stored.Headers()[line])
            return false;
    return true;
}

bool TmsRemotePOP::VerifyMessage(int index)
{
    TmsRemoteInfoItem fresh;
    GetInfo(index, fresh);
    if (!SameMessage(fresh, remoteInfo_.Items(index)))
        RaiseError(mail::kIdsDifferent);
    return true;
}

void TmsRemotePOP::TransferData()
{
    if (remoteInfo_.Count() == 0)
        return;
    Connect();
    if (OnTransferringData)
        OnTransferringData(*this);
    // Items are looked up by index each time: a handler may have refilled the list.
    for (int index = 0; index < remoteInfo_.Count(); ++index) {
        if (remoteInfo_.Items(index).MarkedForRetrieve() && VerifyMessage(index))
            RetrieveMessage(index);
        if (remoteInfo_.Items(index).MarkedForDelete() && VerifyMessage(index))
            DeleteMessage(index);
    }
    if (OnDataTransfered)
        OnDataTransfered(*this);
    Disconnect();
}

void TmsRemotePOP::SaveMessage(int index, std::stringstream& contents)
{
    if (OnUserMessageSave) {
        OnUserMessageSave(*this, index, contents);
        return;
    }
    std::string path = messageDirectory_ + "msg_" + std::to_string(index) + ".eml";
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file)
        throw mail::EFCreateError("Cannot create file " + path);
    const std::string bytes = contents.str();
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file)
        throw mail::EInOutError("Cannot write file " + path);
}
