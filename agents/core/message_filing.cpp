// Filing a processed message: its received row, its copy in the account's
// received folder and the removal of its pending file; and the two table
// operations nothing in the program calls.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <exception>

#include "agents/core/agent_pass.h"
#include "agents/core/received_lookup.h"
#include "mail/mail_date.h"
#include "platform/error.h"
#include "platform/files.h"
#include "retriever/core/message_keys.h"
#include "store/folder_tree.h"
#include "store/table_layouts.h"
#include "tables/apollo.h"
#include "tables/db_errors.h"
#include "tables/table.h"

namespace agents {

namespace {

std::string fileNamePart(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string folderPart(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

void setText(TTable& table, const char* field, const std::string& value, std::size_t width)
{
    table.FieldByName(field).SetAsString(retriever::CutToFieldWidth(value, width));
}

}  // namespace

void AgentPass::MovetoReceived(const std::string& path, const std::string& accountId, TTable& received,
                               const TmsMessage& message)
{
    MovetoReceived(path, accountId, received, message.Headers());
}

void AgentPass::MovetoReceived(const std::string& path, const std::string& accountId, TTable& received,
                               const TmsHeaders& headers)
{
    tables_.apolloReceived.SysProp(1007, 0);
    const std::string fileName = fileNamePart(path);
    addReceivedRow(received, accountId, fileName, headers);
    copyAndRemove(folderPart(path), fileName, accountId);
}

void AgentPass::addReceivedRow(TTable& received, const std::string& accountId, const std::string& fileName,
                               const TmsHeaders& headers)
{
    // The key postp looks up before fetching, so a message left on the
    // server is not fetched and answered again; a file named by a key of
    // its own has a received key of its own.
    const std::string key = retriever::ReceivedKeyOf(headers, fileName);
    const TDateTime date = MailDateToDateTime(headers.GetFieldValue("Date"));
    received.Append();
    setText(received, "MESSAGE_ID", key, store::kReceivedKeyWidth);
    setText(received, "LINK_ID", accountId, store::kIdWidth);
    setText(received, "SUBJECT", headers.GetFieldValue("Subject"), 80);
    setText(received, "FROM", headers.GetFieldValue("From"), 40);
    // A message without a readable Date has no date to show.
    if (date != 0)
        received.FieldByName("RECDATE").SetAsDateTime(std::floor(date));
    setText(received, "FILENAME", fileName, store::kFileNameWidth);
    received.Post();
}

void AgentPass::copyAndRemove(const std::string& pendingFolder, const std::string& fileName,
                              const std::string& accountId)
{
    const std::string receivedFolder = store::ReceivedFolder(messagesFolder_, accountId);
    const std::string from = pendingFolder + fileName, to = receivedFolder + fileName;
    const char* const filed = " Successfully copied ";
    if (moveFile(from, receivedFolder, to)) {
        log(filed + pendingFolder + " to " + to + " in received items folder");
        return;
    }
    try {
        platform::ForceDirectories(receivedFolder);
        platform::CopyFileReplace(from, to);
    } catch (const platform::FileError&) {
        log(" - FAILED to copy " + from + " to " + to + " in received items folder");
        return;
    }
    log(filed + pendingFolder + " to " + to + " in received items folder");
    if (!platform::DeleteFile(from))
        log(" FAILED to delete " + from);
}

bool AgentPass::moveFile(const std::string& from, const std::string& folder, const std::string& to)
{
    // Within one file system the file changes folders in one step: nothing
    // to copy and write out, nothing left to delete, and a kill finds it in
    // one folder or the other. Anything else takes the copy.
    if (::rename(from.c_str(), to.c_str()) == 0)
        return true;
    if (errno != ENOENT)
        return false;
    try {
        platform::ForceDirectories(folder);
    } catch (const platform::FileError&) {
        return false;
    }
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool AgentPass::alreadyFiled(const std::string& key, const std::string& fileName)
{
    if (!lookup_) {
        try {
            lookup_ = std::make_unique<ReceivedLookup>(tables_.received.DatabaseName);
        } catch (const EDatabaseError&) {
            // Without the key tag the account's rows are walked instead.
            return accountRowHolds(key, fileName);
        }
    }
    const auto row = lookup_->Find(key);
    if (!row)
        return false;
    const std::string storedName = retriever::CutToFieldWidth(fileName, store::kFileNameWidth);
    if (row->linkId == account_.id && row->fileName == storedName)
        return true;
    // Equal keys: the tag shows only the first row of them.
    return accountRowHolds(key, fileName);
}

bool AgentPass::accountRowHolds(const std::string& key, const std::string& fileName)
{
    const std::string storedName = retriever::CutToFieldWidth(fileName, store::kFileNameWidth);
    TTable& received = tables_.received;
    for (received.First(); !received.Eof(); received.Next())
        if (received.FieldByName("FILENAME").AsString() == storedName &&
            received.FieldByName("MESSAGE_ID").AsString() == key)
            return true;
    return false;
}

bool AgentPass::PackPending()
{
    TTable& pending = tables_.pending;
    pending.Close();
    pending.Exclusive = true;
    bool exclusive = true;
    try {
        pending.Open();
    } catch (const EDatabaseError&) {
        exclusive = false;
    }
    std::exception_ptr failure;
    if (exclusive) {
        try {
            tables_.apolloPending.Pack();
        } catch (...) {
            failure = std::current_exception();
        }
    }
    // Shared again in any case, as the other programs expect.
    pending.Close();
    pending.Exclusive = false;
    pending.Open();
    if (failure)
        std::rethrow_exception(failure);
    return exclusive;
}

void AgentPass::AMoveMessage(TTable& source, TTable& target)
{
    const std::string linkId = source.FieldByName("LINK_ID").AsString();
    const std::string fileName = source.FieldByName("FILENAME").AsString();
    target.Append();
    target.FieldByName("MESSAGE_ID").SetAsString(source.FieldByName("MESSAGE_ID").AsString());
    target.FieldByName("LINK_ID").SetAsString(linkId);
    target.FieldByName("SUBJECT").SetAsString(source.FieldByName("SUBJECT").AsString());
    target.FieldByName("FROM").SetAsString(source.FieldByName("FROM").AsString());
    if (!source.FieldByName("RECDATE").IsNull())
        target.FieldByName("RECDATE").SetAsDateTime(source.FieldByName("RECDATE").AsDateTime());
    target.FieldByName("FILENAME").SetAsString(fileName);
    target.Post();
    source.Delete();

    const std::string from = store::PendingFolder(messagesFolder_, linkId) + fileName;
    const std::string toFolder = store::ReceivedFolder(messagesFolder_, linkId);
    bool moved = false;
    try {
        platform::ForceDirectories(toFolder);
        moved = platform::RenameNoReplace(from, toFolder + fileName);
    } catch (const platform::FileError&) {
        moved = false;
    }
    log(moved ? "Moved " + from + " to " + toFolder + fileName
              : "FAILED to move " + from + " to " + toFolder + fileName);
}

}  // namespace agents
