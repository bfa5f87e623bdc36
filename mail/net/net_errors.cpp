#include "mail/net/net_errors.h"

#include "mail/net/transport_texts.h"

ETimedOutError::ETimedOutError() : mail::EMailError(std::string(mail::net::transportText(mail::net::kTimedOut))) {}

ETimedOutError::ETimedOutError(const std::string& where)
    : mail::EMailError(std::string(mail::net::transportText(mail::net::kTimedOut)) + (where.empty() ? "" : " -- " + where))
{
}

ECanceledError::ECanceledError() : mail::EMailError(std::string(mail::net::transportText(mail::net::kCanceled))) {}
