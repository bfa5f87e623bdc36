#include "mail/net/smtp_client.h"

#include "mail/mail_error.h"
#include "mail/message.h"
#include "mail/net/dot_codec.h"
#include "mail/net/net_errors.h"
#include "mail/net/transport_texts.h"
#include "mail/temp_file_stream.h"
#include "platform/event_pump.h"

#include <sstream>
#include <utility>

namespace {

bool holdsLineBreak(const std::string& text)
{
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos;
}

// The address as a log can show it: line breaks and zero bytes spelled out.
std::string visible(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\0')
            out += "\\0";
        else
            out += c;
    }
    return out;
}

// A message without attachments and with a body under this size is kept in
// memory while it is sent; any other goes through a nameless temporary file.
constexpr std::size_t kInMemoryBodyBytes = 256 * 1024;

bool fitsInMemory(const TmsMessage& message)
{
    if (message.Attachments().Count() > 0)
        return false;
    std::size_t size = 0;
    for (const std::string& line : message.Body())
        size += line.size() + 2;
    return size <= kInMemoryBodyBytes;
}

template <typename Visit>
void forEachRecipient(const TmsMessage& message, Visit visit)
{
    for (const TmsAddressList* list : {&message.Recipients(), &message.CC(), &message.BCC()})
        for (int i = 0; i < list->Count(); ++i)
            visit(list->Items(i).Address());
}

}  // namespace

TmsSMTP::TmsSMTP()
{
    serviceName_ = "smtp";
    SetDefaultPort(25);
}

TmsSMTP::~TmsSMTP() = default;

void TmsSMTP::Open()
{
    CheckNotBusy();
    if (Server().empty())
        RaiseError(mail::net::kServerRequired);
    Reset();
    quitSent_ = false;
    TmsMailBase::Open();
}

int TmsSMTP::Reply()
{
    int code = ReadReply();
    if (code == -1 && lastReply_.empty())
        RaiseIfNoLine();
    return code;
}

void TmsSMTP::Expect(int code, int other)
{
    int got = Reply();
    if (got != code && got != other)
        RaiseRefused();
}

void TmsSMTP::Command(const std::string& line)
{
    SetStep(Step::Sending, line);
    SendLine(line);
    SetStep(Step::Answer, line);
}

void TmsSMTP::Login()
{
    ConnectSocket();
    SetStep(Step::Greeting);
    Expect(220);
    Command("HELO " + LocalHostName());
    if (Reply() != 250) {
        Command("HELO");
        int code = Reply();
        if (code < 200 || code > 300)
            RaiseRefused();
    }
    SessionStarted();
}

void TmsSMTP::Logout()
{
    if (!quitSent_) {
        platform::processPendingEvents();
        Command("QUIT");
    }
    quitSent_ = false;
    SetStep(Step::Answer, "QUIT");
    Expect(221);
}

void TmsSMTP::CheckAddresses() const
{
    // An address with a line break would end the command early and let the
    // rest of it be read as a command of its own.
    auto check = [](const std::string& address) {
        if (holdsLineBreak(address))
            throw EMessageError("Invalid character (line break or zero byte) in the address \"" +
                                visible(address) + "\"");
    };
    check(message_->Sender().Address());
    forEachRecipient(*message_, check);
}

void TmsSMTP::Send()
{
    CheckNotBusy();
    if (message_ == nullptr)
        RaiseError(mail::kMailMessageRequired);
    message_->Validate();
    CheckAddresses();
    // Nameless: a kill in the middle of the exchange leaves no file behind.
    if (fitsInMemory(*message_))
        data_ = std::make_unique<std::stringstream>(std::ios::in | std::ios::out | std::ios::binary);
    else
        data_ = std::make_unique<TTempFileStream>(TempFileName::Dropped);
    struct Release {
        std::unique_ptr<std::iostream>& data;
        ~Release() { data.reset(); }
    } release{data_};
    PrepareData();
    SendEnvelope();
    SendData();
    if (quitAhead_)
        sendQuitAhead();
    if (OnMailSent)
        OnMailSent(*this);
}

void TmsSMTP::sendQuitAhead()
{
    // The server takes its leave while OnMailSent runs; the log-out then
    // only reads its answer. A QUIT that cannot go out is reported after
    // OnMailSent, as the log-out's failure it would have been.
    try {
        platform::processPendingEvents();
        Command("QUIT");
        quitSent_ = true;
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception&) {
        quitFailure_ = std::current_exception();
    }
}

void TmsSMTP::PrepareData()
{
    if (OnPrepare)
        OnPrepare(*this);
    message_->SaveToStream(*data_);
    data_->flush();
}

void TmsSMTP::SendEnvelope()
{
    if (OnSending)
        OnSending(*this);
    const std::string& sender = message_->Sender().Address();
    if (!sender.empty()) {
        Command("MAIL FROM:<" + sender + ">");
        Expect(250);
    }
    forEachRecipient(*message_, [this](const std::string& address) {
        // An empty entry names nobody; sending it would only draw a refusal.
        if (address.empty())
            return;
        Command("RCPT TO:<" + address + ">");
        Expect(250, 251);
    });
    Command("DATA");
    Expect(354);
}

void TmsSMTP::SendData()
{
    mail::net::DotStuffer stuffer;
    SetStep(Step::Sending, "the message");
    // The closing line break and "." line go out with the data's last bytes.
    SendStreamWith(*data_, [&stuffer](std::string_view block, std::string& out) { stuffer.feed(block, out); },
                   mail::net::DotStuffer::terminator());
    SetStep(Step::Answer, "the message");
    Expect(250);
}

void TmsSMTP::SendMail()
{
    CheckNotBusy();
    struct QuitAhead {
        bool& on;
        explicit QuitAhead(bool& flag) : on(flag) { on = true; }
        ~QuitAhead() { on = false; }
    };
    quitFailure_ = nullptr;
    try {
        Connect();
        // The session ends right after the data: nothing else goes out.
        QuitAhead ahead(quitAhead_);
        Send();
    } catch (...) {
        quitFailure_ = nullptr;
        // The failure that ended the sending is the one to report.
        try {
            Disconnect();
        } catch (const std::exception&) {
        }
        throw;
    }
    if (quitFailure_) {
        const std::exception_ptr failure = std::exchange(quitFailure_, nullptr);
        Close();
        std::rethrow_exception(failure);
    }
    Disconnect();
}
