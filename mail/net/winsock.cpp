#include "mail/net/winsock.h"

#include "mail/net/net_errors.h"
#include "mail/net/transport_texts.h"

TagWinsock& TagWinsock::Instance()
{
    static TagWinsock binding;
    return binding;
}

void TagWinsock::RequireLoaded() const
{
    if (!loaded_)
        throw EWinsockDLLError(std::string(mail::net::transportText(mail::net::kWinsockNotLoaded)));
}
