#pragma once
// The base of the mail protocol clients: a socket component with a log-in
// and a log-out that a session is framed by.

#include "mail/net/tag_socket.h"

class TmsMailBase : public TagSocket {
public:
    // Opens and logs in unless a logged-in session to the same Server (and
    // log-in) is still open; a session to another server or mailbox, or one
    // whose log-in never finished, is closed first.
    void Connect();
    // Begins the connection the next Connect to the same Server will finish
    // (TagSocket::OpenAhead), so the server is making its greeting while the
    // caller does other work. Does nothing when connected or when it could
    // fail or wait; any failure is then met and reported by Connect.
    void ConnectAhead();
    // Logs out and closes; the socket is closed also when the log-out fails.
    void Disconnect();

    // The protocol's greeting and log-in; connects the socket first.
    virtual void Login() = 0;
    // The protocol's farewell.
    virtual void Logout() = 0;

    void Open() override;
    void Close() override;

protected:
    // What the session is doing, so that a time-out, a dropped connection or
    // a refusal says after the server where it came: "SMTP server
    // mail.example.org:25, waiting for its greeting".
    enum class Step { None, Connecting, Greeting, Sending, Answer, Receiving };
    // `command` names what is sent or answered ("USER tester", "RETR 2",
    // "the message"); never a password.
    void SetStep(Step step, std::string command = {});
    // The server refused the current step: EServerError with its reply line
    // (LastReply), " -- " and where.
    [[noreturn]] void RaiseRefused();
    std::string FailureContext() const override;
    // "POP3", "SMTP": how the server is named.
    virtual const char* ProtocolName() const = 0;

    // Connects the socket that Open created (the transport's own Connect).
    void ConnectSocket();
    // Called by Login once the server has accepted it.
    void SessionStarted();
    // What an open session must match to be used again: the server, and for
    // a mailbox protocol the log-in too.
    virtual std::string SessionIdentity() const { return Server(); }

private:
    // "POP3 server host:port".
    std::string ServerName() const;

    Step step_ = Step::None;
    std::string command_;
    std::string sessionIdentity_;
    std::string aheadIdentity_;
    bool loggedIn_ = false;
};
