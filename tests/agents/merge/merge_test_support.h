#pragma once
// Messages and a fixed clock for the merge-code tests.

#include <string>
#include <string_view>
#include <vector>

#include "agents/merge/merge_codes.h"

namespace merge_test {

// 2026-03-07 14:05:09, a Saturday.
TDateTime fixedNow();

// A message read from mail text ("\n" line breaks are fine).
void loadMessage(TmsMessage& message, std::string_view text);

// An incoming message with the given From header and body lines.
void makeIncoming(TmsMessage& message, std::string_view from, const std::vector<std::string>& body);

// Expands in the processor variant with the fixed clock and the account
// "Sales Desk" <sales@example.test>, collecting the log.
struct Expansion {
    std::string toOverride;
    std::vector<std::string> log;
};
Expansion expand(TmsMessage& outgoing, const TmsMessage& incoming,
                 merge::MergeVariant variant = merge::MergeVariant::Processor);

// The expanded form of one template body line.
std::string expandLine(std::string_view line, const TmsMessage& incoming,
                       merge::MergeVariant variant = merge::MergeVariant::Processor);

bool logHas(const Expansion& expansion, std::string_view line);

}  // namespace merge_test
