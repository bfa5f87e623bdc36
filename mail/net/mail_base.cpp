#include "mail/net/mail_base.h"

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

void TmsMailBase::Close()
{
    loggedIn_ = false;
    TagSocket::Close();
}
