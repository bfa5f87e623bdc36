// The actions that send mail through the account's SMTP server: the
// automatic reply built from a template, forward and redirect.
#include <exception>

#include "agents/core/agent_pass.h"
#include "agents/core/automatic_mail.h"
#include "agents/merge/merge_codes.h"
#include "mail/mail_error.h"
#include "mail/new_message_fields.h"
#include "platform/error.h"
#include "platform/files.h"

namespace agents {

namespace {

const std::string kDashes(50, '-');

// Forward and redirect go to the one given address only.
void sendOnlyTo(TmsMessage& message, const std::string& address)
{
    message.Recipients().Clear();
    message.Recipients().AddAddress(address, "");
    message.CC().Clear();
    message.BCC().Clear();
}

void insertBodyLine(TmsMessage& message, const std::string& line)
{
    message.Body().insert(message.Body().begin(), line);
}

void removeEveryField(TmsHeaders& headers, const char* name)
{
    const auto present = [&] {
        for (const std::string& line : headers.lines())
            if (mail::headerLineMatches(line, name))
                return true;
        return false;
    };
    while (present())
        headers.RemoveField(name);
}

// A reply is a message of its own, marked as automatic so that other
// responders leave it unanswered. A template saved from a received mail
// must not lend it that mail's date and id.
void markAsNewAutomaticReply(TmsHeaders& headers, const std::string& accountAddress)
{
    for (const char* name : {"X-TarselAuto-Reply", "Auto-Submitted", "Date", "Message-ID"})
        removeEveryField(headers, name);
    headers.Add("X-TarselAuto-Reply: True");
    headers.Add("Auto-Submitted: auto-replied");
    headers.Add("Date: " + mail::MailDateNow());
    headers.Add("Message-ID: " + mail::NewMessageId(accountAddress));
}

}  // namespace

const TmsMessage& AgentPass::replySource()
{
    if (!incomingChanged_)
        return currentMailMessage_;
    replySource_.Clear();
    replySource_.LoadFromString(fileBytes_);
    return replySource_;
}

bool AgentPass::autoReply(const std::string& templateFile)
{
    TmsMessage& out = currentoutmailmessage_;
    out.Clear();
    const std::optional<std::string> text = templateText(templateFile);
    if (!text) {
        host_.Beep();
        log("Unable to load outgoing mail message for auto-reply -- " + templateFile);
        return false;
    }
    try {
        out.LoadFromString(*text);
    } catch (const mail::EMailError&) {
        host_.Beep();
        log("Unable to load outgoing mail message for auto-reply -- " + templateFile);
        return false;
    }
    // Answering automatic mail makes mail loops: no reply, the rest of the
    // agent's actions still run.
    const TmsMessage& incoming = replySource();
    const std::string automatic = AutomaticMailMark(incoming);
    if (!automatic.empty()) {
        out.Clear();
        log("Agent not Auto-Replying to automatic mail, " + automatic + " Subject: " + incoming.Subject());
        AddAgentEntry(messageId_, "AutoReply Not Sent, automatic mail: " + automatic);
        return true;
    }
    // The reply will be sent: the server makes its greeting while the
    // reply is merged.
    agentSMTP_.SetServer(account_.smtp);
    agentSMTP_.ConnectAhead();
    try {
        mergeReply(out);
    } catch (...) {
        agentSMTP_.Close();
        throw;
    }
    const std::string subject = out.Subject();
    log("Agent Auto-Replying with " + subject);
    send(out, "AutoReply Generated, SUBJECT: " + subject);
    return true;
}

void AgentPass::mergeReply(TmsMessage& out)
{
    const TmsMessage& incoming = replySource();
    out.Sender().SetName(account_.node);
    out.Sender().SetAddress(account_.address);
    out.Recipients().Clear();
    out.Recipients().AddAddress(incoming.Sender().Address(), incoming.Sender().Name());
    markAsNewAutomaticReply(out.Headers(), account_.address);

    toOverride_.clear();
    ProccessMergeCodes(out, incoming, toOverride_, merge::MergeAccount{account_.node, account_.address},
                       [this](const std::string& text) { log(text); });
    if (!toOverride_.empty()) {
        out.Recipients().Clear();
        out.Recipients().AddAddress(toOverride_, "");
    }
}

std::optional<std::string> AgentPass::templateText(const std::string& path)
{
    const std::optional<FileStamp> stamp = StampOf(path);
    if (!stamp)
        return std::nullopt;
    if (template_.path == path && template_.stamp == *stamp)
        return template_.bytes;
    template_ = {};
    std::string bytes;
    try {
        bytes = platform::ReadWholeFile(path);
    } catch (const platform::FileError&) {
        return std::nullopt;
    }
    if (IsSettled(*stamp))
        template_ = {path, *stamp, bytes};
    return bytes;
}

void AgentPass::forwardTo(TmsMessage& message, const std::string& address, const std::string& text)
{
    incomingChanged_ = true;
    if (!text.empty())
        insertBodyLine(message, text);
    sendOnlyTo(message, address);
    message.Headers().Add("X-TarselForward: True");
    const std::string name = message.Sender().Name();
    const std::string from = message.Sender().Address();
    message.Sender().SetName(account_.node);
    message.Sender().SetAddress(account_.address);
    insertBodyLine(message, kDashes);
    insertBodyLine(message, "Forwarded Message:  Originally from: " + name + " " + from);
    log("Agent Forwarding " + message.Subject());
    send(message, "Message Forwarded to: " + address);
}

void AgentPass::redirectTo(TmsMessage& message, const std::string& address, const std::string& text)
{
    incomingChanged_ = true;
    if (!text.empty())
        insertBodyLine(message, text);
    sendOnlyTo(message, address);
    message.Headers().Add("X-TarselRedirect: True");
    insertBodyLine(message, kDashes);
    insertBodyLine(message, "Redirected Message:  Originally To: " + account_.address + " " + account_.node);
    log("Agent redirecting " + message.Subject());
    send(message, "Message Redirected to: " + address);
}

void AgentPass::send(TmsMessage& message, const std::string& historyText)
{
    const std::string subject = message.Subject();
    agentSMTP_.SetServer(account_.smtp);
    agentSMTP_.SetMailMessage(&message);
    // The history row says the mail went out: it is written the moment the
    // server has taken it (before the farewell), never for a mail refused
    // or cut off by a kill, so the row and the mail come together.
    bool accepted = false;
    std::exception_ptr rowFailure;
    agentSMTP_.OnMailSent = [&](TagSocket&) {
        accepted = true;
        try {
            AddAgentEntry(messageId_, historyText);
        } catch (...) {
            rowFailure = std::current_exception();
        }
    };
    try {
        agentSMTP_.SendMail();
    } catch (const std::bad_alloc&) {
        agentSMTP_.OnMailSent = nullptr;
        throw;
    } catch (const std::exception& error) {
        // A farewell that fails after the server took the mail is no failure to send.
        if (!accepted)
            log("ERROR -- Could not send outgoing mail " + std::string(error.what()) + " Subject: " + subject);
    }
    agentSMTP_.OnMailSent = nullptr;
    agentSMTP_.SetMailMessage(nullptr);
    if (rowFailure)
        std::rethrow_exception(rowFailure);
}

}  // namespace agents
