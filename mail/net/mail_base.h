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

    void Close() override;

protected:
    // Connects the socket that Open created (the transport's own Connect).
    void ConnectSocket() { TagSocket::Connect(); }
    // Called by Login once the server has accepted it.
    void SessionStarted();
    // What an open session must match to be used again: the server, and for
    // a mailbox protocol the log-in too.
    virtual std::string SessionIdentity() const { return Server(); }

private:
    std::string sessionIdentity_;
    std::string aheadIdentity_;
    bool loggedIn_ = false;
};
