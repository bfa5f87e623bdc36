#pragma once
// Expansion of the merge codes ("<<COMMAND~parameter>>") of an auto-reply
// template against the message being replied to. The agent processor and
// the composer's preview share this one expander; they differ only in the
// keywords they know and in the version text (see MergeVariant).

#include <functional>
#include <string>

#include "mail/message.h"
#include "platform/datetime.h"

namespace merge {

// The account the reply is sent from (its NODE and ADDRESS).
struct MergeAccount {
    std::string node;
    std::string address;
};

// Receives every step of an expansion, one line each.
using MergeLog = std::function<void(const std::string&)>;

enum class MergeVariant {
    Processor,  // the agent processor: every keyword
    Preview,    // the composer's preview: no account keywords
};

struct MergeContext {
    MergeVariant variant = MergeVariant::Processor;
    MergeAccount account;
    MergeLog log;
    std::function<TDateTime()> now = platform::Now;
};

// Rewrites the codes of the outgoing message's body and header lines from
// the incoming message. toOverride is emptied first and then holds the value
// of a REPLYFIELD code standing in a "To:" header line, if any. Never throws
// on the content of either message.
void expandMergeCodes(TmsMessage& outgoing, const TmsMessage& incoming,
                      std::string& toOverride, const MergeContext& context);

}  // namespace merge

// The agent processor's expander, used when an automatic reply is built.
void ProccessMergeCodes(TmsMessage& outgoing, const TmsMessage& incoming,
                        std::string& toOverride, const merge::MergeAccount& account,
                        const merge::MergeLog& log);

// The configuration manager's expander, used by the composer's preview.
void ExpandMergeCodes(TmsMessage& templateMessage, const TmsMessage& source,
                      std::string& toOverride, const merge::MergeLog& log);
