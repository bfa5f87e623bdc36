#pragma once
// The unique ids of a POP3 "UIDL" listing (RFC 1939): the name a server
// gives each message of a mailbox for good, across sessions.

#include <string>
#include <string_view>
#include <vector>

namespace mail::net {

// Longest unique id a server may give.
inline constexpr std::size_t kMaxUniqueIdBytes = 70;

// Whether the text can be a unique id: 1 to 70 characters from "!" to "~".
bool validUniqueId(std::string_view id);

// The id of each of `count` messages (index = message number - 1) in the
// listing's lines "<number> <id>". A message the listing gives no valid id,
// or more than one, gets "", and so does every message of an id the listing
// gives to two of them: an id that may name another message names none.
std::vector<std::string> uniqueIdsOfListing(std::string_view listing, int count);

}  // namespace mail::net
