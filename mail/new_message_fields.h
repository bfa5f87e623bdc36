#pragma once
// The Date and Message-ID fields that make an outgoing message a message
// of its own, rather than a copy of the file it was built from.

#include <ctime>
#include <string>
#include <string_view>

namespace mail {

// The moment in RFC 5322 form, in the local zone with its offset:
// "Tue, 09 Dec 2026 13:49:16 +0100". Day and month names are English
// whatever the locale.
std::string MailDate(std::time_t moment);
std::string MailDateNow();

// A new id, angle brackets included: the clock (UTC, to the microsecond),
// a random part and the domain of `address`. An address without a domain
// fit for an id takes this host's name, or "localhost".
std::string NewMessageId(std::string_view address);

}  // namespace mail
