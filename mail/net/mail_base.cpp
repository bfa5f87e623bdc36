#include "mail/net/mail_base.h"

#include "mail/net/net_errors.h"
#include "mail/net/server_address.h"

#include <utility>

void TmsMailBase::ConnectAhead()
{
    if (!Connected() && OpenAhead())
        aheadIdentity_ = SessionIdentity();
}

void TmsMailBase::Connect()
{
    CheckNotBusy();
    if (Connected() && ConnectionBegun() && aheadIdentity_ == SessionIdentity()) {
        Login();
        return;
    }
    if (Connected() && (!loggedIn_ || sessionIdentity_ != SessionIdentity()))
        Close();
    if (Connected())
        return;
    Open();
    Login();
}

void TmsMailBase::SessionStarted()
{
    sessionIdentity_ = SessionIdentity();
    loggedIn_ = true;
}

void TmsMailBase::Disconnect()
{
    CheckNotBusy();
    if (!Connected())
        return;
    try {
        Logout();
    } catch (...) {
        Close();
        throw;
    }
    Close();
}

void TmsMailBase::Open()
{
    // Until the connection is begun, a failure is about the server text
    // itself, and the caller names it.
    SetStep(Step::None);
    TagSocket::Open();
}

void TmsMailBase::Close()
{
    loggedIn_ = false;
    TagSocket::Close();
    SetStep(Step::None);
}

void TmsMailBase::ConnectSocket()
{
    SetStep(Step::Connecting);
    TagSocket::Connect();
}

void TmsMailBase::SetStep(Step step, std::string command)
{
    step_ = step;
    command_ = std::move(command);
}

std::string TmsMailBase::ServerName() const
{
    std::string name = std::string(ProtocolName()) + " server " + mail::net::serverHost(Server());
    if (Port() != 0)
        name += ":" + std::to_string(Port());
    return name;
}

std::string TmsMailBase::FailureContext() const
{
    switch (step_) {
    case Step::None:
        return {};
    case Step::Connecting:
        return ServerName() + ", connecting";
    case Step::Greeting:
        return ServerName() + ", waiting for its greeting";
    case Step::Sending:
        return ServerName() + ", sending " + command_;
    case Step::Answer:
        return ServerName() + ", waiting for its answer to " + command_;
    case Step::Receiving:
        return ServerName() + ", receiving its answer to " + command_;
    }
    return {};
}

void TmsMailBase::RaiseRefused()
{
    if (step_ == Step::None)
        throw EServerError(lastReply_);
    const std::string where =
        step_ == Step::Greeting ? ServerName() + ", in its greeting" : ServerName() + ", in its answer to " + command_;
    throw EServerError(lastReply_ + " -- " + where);
}
