#include "merge_test_support.h"

#include <algorithm>

namespace merge_test {

TDateTime fixedNow()
{
    return platform::EncodeDate(2026, 3, 7) + platform::EncodeTime(14, 5, 9);
}

void loadMessage(TmsMessage& message, std::string_view text)
{
    std::string crlf;
    for (const char c : text) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    message.Clear();
    message.LoadFromString(crlf);
}

void makeIncoming(TmsMessage& message, std::string_view from, const std::vector<std::string>& body)
{
    std::string text = "From: " + std::string(from) +
                       "\nTo: sales@example.test\nSubject: Order status\nMessage-ID: <m1@example.test>\n\n";
    for (const auto& line : body)
        text += line + "\n";
    loadMessage(message, text);
}

Expansion expand(TmsMessage& outgoing, const TmsMessage& incoming, merge::MergeVariant variant)
{
    Expansion result;
    merge::MergeContext context;
    context.variant = variant;
    context.account = {"Sales Desk", "sales@example.test"};
    context.log = [&result](const std::string& line) { result.log.push_back(line); };
    context.now = fixedNow;
    merge::expandMergeCodes(outgoing, incoming, result.toOverride, context);
    return result;
}

std::string expandLine(std::string_view line, const TmsMessage& incoming, merge::MergeVariant variant)
{
    TmsMessage outgoing;
    outgoing.Body().emplace_back(line);
    expand(outgoing, incoming, variant);
    return outgoing.Body().at(0);
}

bool logHas(const Expansion& expansion, std::string_view line)
{
    return std::find(expansion.log.begin(), expansion.log.end(), line) != expansion.log.end();
}

}  // namespace merge_test
