#include "mail/net/net_errors.h"

#include "mail/net/transport_texts.h"

ETimedOutError::ETimedOutError() : mail::EMailError(std::string(mail::net::transportText(mail::net::kTimedOut))) {}

ECanceledError::ECanceledError() : mail::EMailError(std::string(mail::net::transportText(mail::net::kCanceled))) {}
