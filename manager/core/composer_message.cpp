#include "manager/core/composer_message.h"

#include <algorithm>

#include "mail/headers.h"
#include "mail/mail_error.h"

namespace manager {

namespace {

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The value of a header line ("To: value"), or nothing for another field.
bool fieldValue(const std::string& line, const char* name, std::string& value)
{
    if (!mail::headerLineMatches(line, name))
        return false;
    value = trimmed(line.substr(line.find(':') + 1));
    return true;
}

// A "To:" or "CC:" line holding a merge code ("<<REPLYFIELD~EMAIL>>") is no
// address the reader understands; its recipient is rebuilt so that the
// writer's "<" address ">" puts the code back exactly as it stood.
void keepMergeCodeAddresses(TmsAddressList& list, const TmsHeaders& headers, const char* field)
{
    std::vector<std::string> codes;
    for (const std::string& line : headers.lines()) {
        std::string value;
        if (fieldValue(line, field, value) && value.find("<<") != std::string::npos)
            codes.push_back(value);
    }
    if (codes.empty())
        return;
    list.Clear();
    for (std::string value : codes) {
        if (value.size() >= 2 && value.front() == '<' && value.back() == '>')
            value = value.substr(1, value.size() - 2);
        list.AddAddress(value, "");
    }
}

}  // namespace

std::string OneHeaderLine(const std::string& text)
{
    std::string line = text;
    std::replace_if(line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return line;
}

std::string AttachmentHeaderName(const std::string& name)
{
    // The writer quotes the name as it stands: a quote inside would end it.
    std::string safe = OneHeaderLine(name);
    std::replace(safe.begin(), safe.end(), '"', '\'');
    return safe;
}

void PopulateTMessageObject(TmsMessage& message, const ComposerDraft& draft, const TmsMessage& loaded)
{
    // The files first: a missing one fails the save before anything changes.
    TmsAttList attachments;
    for (const ComposerAttachment& entry : draft.attachments) {
        TmsAttItem& item = attachments.AddFile(entry.path);
        item.SetFileName(AttachmentHeaderName(entry.name.empty() ? mail::fileNamePart(entry.path) : entry.name));
    }

    message.Clear();
    message.SetContentType("text/plain");
    message.Recipients().Assign(loaded.Recipients());
    message.CC().Assign(loaded.CC());
    message.BCC().Assign(loaded.BCC());
    keepMergeCodeAddresses(message.Recipients(), loaded.Headers(), "To");
    keepMergeCodeAddresses(message.CC(), loaded.Headers(), "CC");
    // The writer drops the fields it writes itself and keeps the rest.
    message.SetHeaders(loaded.Headers());
    if (draft.senderName.empty() && draft.senderAddress.empty()) {
        message.Sender().Assign(loaded.Sender());
    } else {
        message.Sender().SetName(OneHeaderLine(draft.senderName));
        message.Sender().SetAddress(OneHeaderLine(draft.senderAddress));
    }
    message.SetBody(draft.body);
    message.SetSubject(OneHeaderLine(draft.subject));
    message.Attachments().Assign(attachments);
}

}  // namespace manager
