#include "retriever/core/mail_pass.h"

#include <optional>
#include <set>

#include "mail/headers.h"
#include "mail/message.h"
#include "mail/net/net_errors.h"
#include "mail/net/pop3_client.h"
#include "platform/error.h"
#include "platform/event_pump.h"
#include "platform/files.h"
#include "retriever/core/conversion.h"
#include "retriever/core/kept_copy.h"
#include "retriever/core/kept_ids.h"
#include "retriever/core/message_keys.h"
#include "retriever/core/pending_file.h"
#include "retriever/core/schedule.h"
#include "store/folder_tree.h"
#include "tables/apollo.h"
#include "tables/table.h"

namespace retriever {

namespace {

std::string field(TTable& table, const char* name) { return TrimRight(table.FieldByName(name).AsString()); }

const char* const kNoCopyToCompare =
    "a received message has its key, and no copy of that message is here to compare it with";

std::string ofCount(int n, int count) { return std::to_string(n) + " of " + std::to_string(count); }

}  // namespace

MailPass::MailPass(PassHost& host, PassTables tables, TmsRemotePOP& pop, TmsMessage& messageTemp)
    : host_(host), tables_(tables), pop_(pop), messageTemp_(messageTemp)
{
    pop_.OnNextInfoUpdated = [this](TagSocket& sender, int num) { msRemotePOP1NextInfoUpdated(sender, num); };
    pop_.OnRetrieving = [this](TagSocket& sender, int num) { msRemotePOP1Retrieving(sender, num); };
    pop_.OnUserMessageSave = [this](TagSocket& sender, int num, std::stringstream& contents) {
        msRemotePOP1UserMessageSave(sender, num, contents);
    };
}

MailPass::~MailPass() = default;

void MailPass::ProcessMail()
{
    TTable& nodes = tables_.nodes;
    nodes.First();
    while (!nodes.Eof()) {
        currentNodeId_ = Trim(field(nodes, "UNIQUE_ID"));
        const std::string node = field(nodes, "NODE");
        try {
            const TDateTime due = DueTime(nodes);
            host_.ShowCurrentNode(node);
            host_.ShowCurrentAction("Scanning... ");
            // Due exactly now counts: the stored minute is the first moment to poll.
            if (Now() >= due)
                pollAccount(nodes);
        } catch (const ConversionError& error) {
            // One account's bad row must not keep the accounts after it from their mail.
            host_.AppException(ConversionError(node + " -- " + error.what()));
        }
        host_.ShowCurrentNode("");
        host_.ShowCurrentAction("");
        host_.ShowProgress(0);
        nodes.Next();
    }
    ++scanPasses_;
    host_.ShowScanPasses(scanPasses_);
    if (host_.ProcessingEnabled())
        host_.EnableTimer();
}

void MailPass::pollAccount(TTable& nodes)
{
    host_.ShowCurrentAction("Logging In");
    host_.SendtoLog(field(nodes, "NODE") + " -- retrieving mail");
    currentNodeId_ = Trim(field(nodes, "UNIQUE_ID"));
    AdvanceDateTime(nodes);
    RetrieveMesages(nodes);
}

void MailPass::AdvanceDateTime(TTable& nodes)
{
    // Read before the row is touched: a bad interval leaves the row as it was.
    const long long minutes = PollInterval(nodes);
    const TDateTime now = Now();
    WriteSchedule(nodes, now, NextPollTime(now, minutes));
}

void MailPass::RetrieveMesages(TTable& nodes)
{
    std::string server = Trim(field(nodes, "POPADDRESS"));
    if (server.empty())
        server = Trim(field(nodes, "SMTPADDRES"));
    pop_.SetServer(server);
    pop_.UserName = field(nodes, "LOGIN");
    pop_.Password = field(nodes, "PASSWORD");

    pop_.Disconnect();
    // Checked before connecting, so a bad row leaves no session open.
    const std::vector<Restriction> rows = ReadRestrictions(tables_.rules);
    try {
        pop_.Connect();
    } catch (const ESocketError& error) {
        // Failed before any session (a server text that is no address, a
        // host that cannot be reached); the log-in's own checks of the user
        // name and password aside, the line names the server text, or the
        // user cannot find the account.
        const bool addressFailed = !pop_.Connected() && !server.empty() && !pop_.UserName.empty() &&
                                   !pop_.Password.empty();
        pop_.Close();
        if (addressFailed)
            throw ESocketError(std::string(error.what()) + " -- server " + server);
        throw;
    } catch (...) {
        // A refused log-in leaves nothing open until the next poll.
        pop_.Close();
        throw;
    }
    pop_.KeepConnected = true;
    keptIds_.reset();
    try {
        pop_.UpdateInfo();
        pop_.UpdateUniqueIds();
    } catch (const std::exception& error) {
        host_.AppException(error);
        pop_.Cancel();
        throw;
    }
    if (pop_.RemoteInfo().Count() == 0) {
        host_.SendtoLog("There are no messages");
        pop_.Disconnect();
        return;
    }
    keptIds_ = std::make_unique<KeptIds>(store::AccountFolder(messagesFolder_, currentNodeId_) + kKeptIdsFile,
                                         server + "\t" + pop_.UserName);
    try {
        markMessages(rows);
    } catch (...) {
        closeSession();
        throw;
    }
    try {
        pop_.TransferData();
    } catch (const std::exception& error) {
        host_.AppException(error);
        closeSession();
        throw;
    }
    pop_.Disconnect();
    forgetMessagesGone();
}

void MailPass::markMessages(const std::vector<Restriction>& rows)
{
    if (rows.empty())
        return;  // nothing is fetched or deleted
    TmsRemoteInfo& info = pop_.RemoteInfo();
    for (int index = 0; index < info.Count(); ++index) {
        const RestrictionOutcome outcome = ApplyRestrictions(rows, info.Items(index));
        platform::ForceDirectories(pendingFolder());
        if (keptHere(index)) {
            // A poll that ended before QUIT (killed, or its connection
            // dropped) leaves on the server every message it fetched and
            // deleted; without this, they would stay there for ever.
            if (outcome.remove) {
                pop_.MarkForDelete(index);
                host_.SendtoLog("Message " + std::to_string(index + 1) +
                                " already retrieved -- deleting it from the server");
            }
            continue;
        }
        if (outcome.fetch && receivedWithoutCopy(index)) {
            host_.SendtoLog(leftOnServer(index, kNoCopyToCompare));
            continue;
        }
        // Any other message whose key is taken is fetched: only the message
        // itself tells whether it is the one kept under that key.
        if (outcome.fetch)
            pop_.MarkForRetrieve(index);
        if (outcome.remove)
            pop_.MarkForDelete(index);
        for (const std::string& rule : outcome.activated)
            host_.SendtoLog("Rule " + rule + " activated for message " + std::to_string(index + 1));
    }
}

bool MailPass::keptHere(int index) const
{
    const TmsRemoteInfoItem& item = pop_.RemoteInfo().Items(index);
    const std::optional<std::string> name = keptIds_->FileOf(item.UniqueId);
    // A copy under a name of another key is not this message, whatever a
    // server that gives an id twice says; a copy that is gone (the user
    // deleted it) no longer counts.
    return name && TagInFileName(*name, PendingFileKey(item.Headers())) &&
           (platform::FileExists(pendingFolder() + *name) || platform::FileExists(receivedFolder() + *name));
}

bool MailPass::receivedWithoutCopy(int index)
{
    const TmsHeaders& headers = pop_.RemoteInfo().Items(index).Headers();
    return receivedKeyTaken(ReceivedKey(headers)) && fileOfKey(PendingFileKey(headers)).empty();
}

bool MailPass::receivedKeyTaken(const std::string& key)
{
    return tables_.apolloReceived.Seek(ReceivedSeekKey(key));
}

std::string MailPass::fileOfKey(const std::string& key) const
{
    // Pending first: the agent processor moves a file from there into the
    // received folder, so one of the two looks always finds it.
    for (const std::string& path : {pendingFolder() + key + store::kMailExtension,
                                    receivedFolder() + key + store::kMailExtension})
        if (platform::FileExists(path))
            return path;
    return {};
}

MailPass::Placement MailPass::placeMessage(int index, std::string_view raw, const std::string& written)
{
    const TmsHeaders& headers = pop_.RemoteInfo().Items(index).Headers();
    const std::string key = PendingFileKey(headers), receivedKey = ReceivedKey(headers);
    const std::string tag = ContentTag(raw), shortTag = tag.substr(0, kShortTagDigits);
    const std::vector<std::pair<std::string, std::string>> keys = {
        {key, receivedKey},
        {DerivedFileKey(key, shortTag), DerivedReceivedKey(receivedKey, shortTag)},
        {DerivedFileKey(key, tag), DerivedReceivedKey(receivedKey, tag)}};
    // Kept already under any key it can have: a poll cut before the server's
    // delete, a message left on the server, or another copy delivered.
    const std::string plain = WithoutDrawnBoundaries(written);
    for (const auto& [fileKey, rowKey] : keys) {
        const std::string path = fileOfKey(fileKey);
        if (!path.empty() && IsCopyOf(path, plain))
            return {Placement::Kind::Kept, fileKey, {}};
    }
    for (const auto& [fileKey, rowKey] : keys) {
        if (!fileOfKey(fileKey).empty())
            continue;  // another message's
        if (receivedKeyTaken(rowKey))
            return {Placement::Kind::Left, {}, kNoCopyToCompare};
        return {Placement::Kind::Free, fileKey, {}};
    }
    return {Placement::Kind::Left, {}, "every key it could have is taken by other messages"};
}

void MailPass::remember(int index, const std::string& key)
{
    if (!keptIds_)
        return;
    try {
        keptIds_->Add(pop_.RemoteInfo().Items(index).UniqueId, key + store::kMailExtension);
    } catch (const platform::FileError& error) {
        // The message is kept all the same; a later poll finds its copy by
        // fetching it again.
        host_.AppException(error);
    }
}

void MailPass::forgetMessagesGone()
{
    std::set<std::string> onServer;
    bool listed = false;
    TmsRemoteInfo& info = pop_.RemoteInfo();
    for (int index = 0; index < info.Count(); ++index) {
        const TmsRemoteInfoItem& item = info.Items(index);
        listed = listed || !item.UniqueId.empty();
        if (!item.UniqueId.empty() && !item.MarkedForDelete())
            onServer.insert(item.UniqueId);
    }
    if (!listed)
        return;  // a server without ids tells nothing of what is gone
    try {
        keptIds_->KeepOnly(onServer);
    } catch (const platform::FileError& error) {
        host_.AppException(error);
    }
}

std::string MailPass::leftOnServer(int index, const std::string& reason) const
{
    return "Message " + std::to_string(index + 1) + " left on the server -- " + reason;
}

void MailPass::closeSession() noexcept
{
    try {
        pop_.Disconnect();
    } catch (...) {
        // Disconnect closes the socket also when the farewell fails; the
        // error that ended the poll is the one to report.
    }
}

std::string MailPass::pendingFolder() const { return store::PendingFolder(messagesFolder_, currentNodeId_); }

std::string MailPass::receivedFolder() const { return store::ReceivedFolder(messagesFolder_, currentNodeId_); }

void MailPass::msRemotePOP1NextInfoUpdated(TagSocket&, int Num)
{
    const std::string progress = ofCount(Num + 1, pop_.MessageCount());
    const std::string subject = pop_.RemoteInfo().Items(Num).Headers().GetFieldValue("Subject");
    host_.SendtoLog("Downloading Header " + progress + " -- " + subject);
    host_.ShowCurrentAction("Downloading Headers " + progress);
    platform::processPendingEvents();
}

void MailPass::msRemotePOP1Retrieving(TagSocket&, int Num)
{
    const std::string text = "Retreiving  " + ofCount(Num + 1, pop_.MessageCount());
    host_.SendtoLog(text);
    host_.ShowCurrentAction(text);
    host_.ShowProgressMax(pop_.MessageCount());
    host_.ShowProgress(Num + 1);
}

void MailPass::msRemotePOP1UserMessageSave(TagSocket&, int Num, std::stringstream& Contents)
{
    platform::ForceDirectories(pendingFolder());
    const std::string raw = Contents.str();
    messageTemp_.Clear();
    messageTemp_.LoadFromString(raw);
    const std::string written = messageTemp_.SaveToString();
    // The transfer deletes a message marked for deletion only after this
    // returns: unmarking keeps a message whose file was not written here.
    const Placement place = placeMessage(Num, raw, written);
    const std::string n = std::to_string(Num + 1);
    switch (place.kind) {
    case Placement::Kind::Kept:
        remember(Num, place.key);
        if (pop_.RemoteInfo().Items(Num).MarkedForDelete())
            host_.SendtoLog("Message " + n + " already retrieved -- deleting it from the server");
        break;
    case Placement::Kind::Free:
        if (!WriteNewFileAtomic(pendingFolder() + place.key + store::kMailExtension, written)) {
            pop_.Unmark(Num);
            host_.SendtoLog(leftOnServer(Num, "another file took its name meanwhile"));
            break;
        }
        remember(Num, place.key);
        if (place.key != PendingFileKey(pop_.RemoteInfo().Items(Num).Headers()))
            host_.SendtoLog("Message " + n + " has the key of another message -- saved as " + place.key +
                            store::kMailExtension);
        break;
    case Placement::Kind::Left:
        pop_.Unmark(Num);
        host_.SendtoLog(leftOnServer(Num, place.reason));
        break;
    }
    platform::processPendingEvents();
}

}  // namespace retriever
