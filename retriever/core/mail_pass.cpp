#include "retriever/core/mail_pass.h"

#include <fstream>

#include "mail/headers.h"
#include "mail/message.h"
#include "mail/net/net_errors.h"
#include "mail/net/pop3_client.h"
#include "platform/event_pump.h"
#include "platform/files.h"
#include "retriever/core/conversion.h"
#include "retriever/core/message_keys.h"
#include "retriever/core/pending_file.h"
#include "retriever/core/schedule.h"
#include "store/folder_tree.h"
#include "tables/apollo.h"
#include "tables/table.h"

namespace retriever {

namespace {

std::string field(TTable& table, const char* name) { return TrimRight(table.FieldByName(name).AsString()); }

// Where a copy's header lines are looked for.
constexpr std::size_t kHeaderReadLimit = 64 * 1024;

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
    try {
        pop_.UpdateInfo();
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
}

void MailPass::markMessages(const std::vector<Restriction>& rows)
{
    TmsRemoteInfo& info = pop_.RemoteInfo();
    for (int index = 0; index < info.Count(); ++index) {
        if (alreadyReceived(index)) {
            deleteIfKeptHere(index, ApplyRestrictions(rows, info.Items(index)).remove);
            continue;
        }
        const RestrictionOutcome outcome = ApplyRestrictions(rows, info.Items(index));
        if (outcome.fetch)
            pop_.MarkForRetrieve(index);
        if (outcome.remove)
            pop_.MarkForDelete(index);
        for (const std::string& rule : outcome.activated)
            host_.SendtoLog("Rule " + rule + " activated for message " + std::to_string(index + 1));
        if (rows.empty())
            continue;
        // A message whose file still waits for the agent processor is not
        // fetched again.
        platform::ForceDirectories(pendingFolder());
        if (platform::FileExists(pendingFile(index))) {
            pop_.Unmark(index);
            deleteIfKeptHere(index, outcome.remove);
        }
    }
}

void MailPass::deleteIfKeptHere(int index, bool remove)
{
    // A poll that ended before QUIT (killed, or its connection dropped)
    // leaves on the server every message it fetched and deleted; without
    // this, later polls would skip them and they would stay there for ever.
    if (!remove || !keptHere(index))
        return;
    pop_.MarkForDelete(index);
    host_.SendtoLog("Message " + std::to_string(index + 1) + " already retrieved -- deleting it from the server");
}

bool MailPass::keptHere(int index)
{
    // Pending and received copies appear whole (written aside, then renamed),
    // so one that exists is complete.
    const TmsHeaders& headers = pop_.RemoteInfo().Items(index).Headers();
    const std::string name = PendingFileKey(headers) + store::kMailExtension;
    for (const std::string& path : {pendingFolder() + name, store::ReceivedFolder(messagesFolder_, currentNodeId_) + name})
        if (platform::FileExists(path) && isCopyOf(path, headers))
            return true;
    return false;
}

bool MailPass::isCopyOf(const std::string& path, const TmsHeaders& headers)
{
    // The name alone does not tell: two messages may share a Message-ID,
    // and without one, a second and a subject start. The copy must show
    // the same identity, sender, date and subject.
    std::ifstream file(path, std::ios::binary);
    std::string start(kHeaderReadLimit, '\0');
    file.read(start.data(), static_cast<std::streamsize>(start.size()));
    start.resize(static_cast<std::size_t>(file.gcount()));
    TmsHeaders copy;
    copy.SetText(start);
    copy.CutAtBlankLine();
    for (const char* name : {"Message-ID", "From", "Date", "Subject"})
        if (copy.GetFieldValue(name) != headers.GetFieldValue(name))
            return false;
    return true;
}

bool MailPass::alreadyReceived(int index)
{
    return tables_.apolloReceived.Seek(ReceivedSeekKey(pop_.RemoteInfo().Items(index).Headers()));
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

std::string MailPass::pendingFile(int index) const
{
    return pendingFolder() + PendingFileKey(pop_.RemoteInfo().Items(index).Headers()) + store::kMailExtension;
}

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
    const std::string path = pendingFile(Num);
    // The transfer deletes a message marked for deletion only after this
    // returns: unmarking keeps a message whose file was not written here.
    if (platform::FileExists(path)) {
        pop_.Unmark(Num);
        return;
    }
    messageTemp_.Clear();
    messageTemp_.LoadFromStream(Contents);
    if (!WriteNewFileAtomic(path, messageTemp_.SaveToString()))
        pop_.Unmark(Num);
    platform::processPendingEvents();
}

}  // namespace retriever
