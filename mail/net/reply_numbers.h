#pragma once
// Numbers read from server replies.

#include "mail/mail_error.h"

#include <string>
#include <string_view>

namespace mail::net {

// A text that should have been a whole number was not one.
class EConvertError : public mail::EMailError {
public:
    using mail::EMailError::EMailError;
};

// The whole text as an integer (optional sign, digits only); throws
// EConvertError "'<text>' is not a valid integer value" otherwise.
int strictInteger(std::string_view text);

// The size in a LIST reply "+OK <number> <size> ...": the first number after
// the message number, whatever follows it; 0 when there is none.
int listedSize(std::string_view reply);

}  // namespace mail::net
