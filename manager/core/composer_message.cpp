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

bool startsWithBlank(const std::string& line) { return !line.empty() && (line[0] == ' ' || line[0] == '\t'); }

// The template's own fields: those holding a merge code, whole with their
// continuation lines. To and CC are left out: their codes travel as the
// recipients.
TmsHeaders mergeCodeFields(const TmsHeaders& headers)
{
    TmsHeaders kept;
    const TmsHeaders::Lines& lines = headers.lines();
    for (std::size_t start = 0; start < lines.size();) {
        std::size_t end = start + 1;
        while (end < lines.size() && startsWithBlank(lines[end]))
            ++end;
        const bool recipients =
            mail::headerLineMatches(lines[start], "To") || mail::headerLineMatches(lines[start], "CC");
        const bool code = std::any_of(lines.begin() + static_cast<std::ptrdiff_t>(start),
                                      lines.begin() + static_cast<std::ptrdiff_t>(end),
                                      [](const std::string& line) { return line.find("<<") != std::string::npos; });
        if (code && !recipients)
            for (std::size_t i = start; i < end; ++i)
                kept.Add(lines[i]);
        start = end;
    }
    return kept;
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
    if (draft.mailToSend) {
        message.Recipients().Assign(loaded.Recipients());
        message.CC().Assign(loaded.CC());
        message.BCC().Assign(loaded.BCC());
        // The writer drops the fields it writes itself and keeps the rest.
        message.SetHeaders(loaded.Headers());
    } else {
        // A template: the window shows no recipients and no other fields,
        // so none are kept, or a template saved from a received mail would
        // send that mail's copies, date and id with every reply. Lines
        // holding merge codes are the template's own (a To line with a
        // REPLYFIELD code chooses where the reply goes) and stay.
        keepMergeCodeAddresses(message.Recipients(), loaded.Headers(), "To");
        keepMergeCodeAddresses(message.CC(), loaded.Headers(), "CC");
        message.SetHeaders(mergeCodeFields(loaded.Headers()));
    }
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
