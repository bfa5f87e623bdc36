#pragma once
// The values the merge-code commands give: from the message being replied
// to (REPLYHEADER, REPLYFIELD) and from the clock and account (SYSTEM).

#include <string>
#include <string_view>

#include "agents/merge/merge_codes.h"

namespace merge {

// REPLYHEADER: a header of the incoming message, or FROMNAME, FROMADDRESS
// and BODY.
std::string replyHeaderValue(const TmsMessage& incoming, std::string_view parameter);

// REPLYFIELD: the incoming body's "name=value" lines whose start matches the
// field (ignoring case); the last one with a "=" gives the value.
struct ReplyField {
    bool matched = false;  // some body line begins with the field
    std::string value;
};
ReplyField replyFieldValue(const TmsMessage& incoming, std::string_view field);

// SYSTEM: date and time, account, version, FORMATDATETIME(format).
std::string systemValue(std::string_view parameter, const MergeContext& context);

// Hands one line to the context's log, if it has one.
void logStep(const MergeContext& context, const std::string& line);

// The body as one text; a long one is cut (see the definition).
std::string bodyText(const TmsMessage& incoming);

}  // namespace merge
