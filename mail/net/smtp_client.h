#pragma once
// The SMTP client: sends one message to a server. The message is written out
// first (a short one in memory, any other to a nameless temporary file), the
// envelope comes from its sender and its three recipient lists, and what was
// written goes out as the message data.

#include "mail/net/mail_base.h"

#include <exception>
#include <iosfwd>
#include <memory>

class TmsMessage;

class TmsSMTP : public TmsMailBase {
public:
    TmsSMTP();
    ~TmsSMTP() override;

    // The message to send; the owner keeps it alive while it is set.
    TmsMessage* MailMessage() const { return message_; }
    void SetMailMessage(TmsMessage* message) { message_ = message; }

    TNotifyEvent OnPrepare, OnSending, OnMailSent;

    void Open() override;
    void Login() override;
    void Logout() override;

    // Connect, Send, and Disconnect whatever happened.
    void SendMail();
    // Sends MailMessage over a logged-in connection.
    void Send();
    void PrepareData();
    void SendEnvelope();
    void SendData();

private:
    // Reads a reply; raises EServerError unless its code is one of the two.
    void Expect(int code, int other = -2);
    // Sends a command line as the session's step: a failure names it.
    void Command(const std::string& line);
    const char* ProtocolName() const override { return "SMTP"; }
    int Reply();
    void CheckAddresses() const;

    // In SendMail, QUIT goes out as soon as the data is taken, before
    // OnMailSent; Logout then only reads its answer.
    void sendQuitAhead();

    TmsMessage* message_ = nullptr;
    bool quitAhead_ = false;
    bool quitSent_ = false;
    std::exception_ptr quitFailure_;
    std::unique_ptr<std::iostream> data_;
};
