#include "agents/core/automatic_mail.h"

#include <string_view>

#include "mail/headers.h"
#include "mail/text_case.h"
#include "retriever/core/message_keys.h"

namespace agents {

namespace {

// Longest field value a mark quotes: enough to recognise it in a log line.
constexpr std::size_t kMarkValueLimit = 100;

std::string trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

// The value without its comments ("(...)", nested, backslash escapes),
// leaving quoted strings as they are.
std::string withoutComments(std::string_view value)
{
    std::string out;
    int depth = 0;
    bool quoted = false;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '\\' && (quoted || depth > 0)) {
            if (depth == 0 && i + 1 < value.size())
                out.append(value.substr(i, 2));
            ++i;
        } else if (depth > 0) {
            depth += c == '(' ? 1 : c == ')' ? -1 : 0;
        } else if (c == '"') {
            quoted = !quoted;
            out += c;
        } else if (c == '(' && !quoted) {
            depth = 1;
        } else {
            out += c;
        }
    }
    return out;
}

// The keyword of an Auto-Submitted value ("auto-replied; owner=..." ->
// "auto-replied"), in lower case.
std::string autoSubmittedKeyword(std::string_view value)
{
    const std::string bare = withoutComments(value);
    return mail::lowerCase(trimmed(std::string_view(bare).substr(0, bare.find(';'))));
}

// The address of a Return-Path value: what its angle brackets hold.
std::string returnPathAddress(std::string_view value)
{
    const std::string bare = trimmed(withoutComments(value));
    const auto open = bare.find('<');
    if (open == std::string::npos)
        return bare;
    const auto close = bare.find('>', open);
    return trimmed(std::string_view(bare).substr(open + 1, close == std::string::npos ? std::string::npos
                                                                                      : close - open - 1));
}

// The local part without its quotes and backslash escapes.
std::string localPart(std::string_view address)
{
    std::string local;
    for (const char c : address.substr(0, address.rfind('@')))
        if (c != '"' && c != '\\')
            local += c;
    return local;
}

// True for MAILER-DAEMON and postmaster, with or without a domain, quoted
// or not, behind a source route or not, or wrapped whole in a relay's
// local part ("Postmaster\@example.com@relay.example").
bool isMailSystemAddress(std::string_view address)
{
    if (!address.empty() && address.front() == '@') {
        const auto colon = address.find(':');
        address = colon == std::string_view::npos ? std::string_view() : address.substr(colon + 1);
    }
    std::string local = localPart(address);
    while (local.find('@') != std::string::npos)
        local = localPart(local);
    return mail::equalsNoCase(local, "mailer-daemon") || mail::equalsNoCase(local, "postmaster");
}

// "Name: value" on one line, the value cut short on a character boundary.
std::string mark(std::string_view name, std::string_view value)
{
    return std::string(name) + ": " + mail::blankControlBreaks(retriever::CutToFieldWidth(value, kMarkValueLimit));
}

}  // namespace

std::string AutomaticMailMark(const TmsMessage& message)
{
    const TmsHeaders& headers = message.Headers();
    const std::string submitted = headers.GetFieldValue("Auto-Submitted");
    const std::string keyword = autoSubmittedKeyword(submitted);
    if (!keyword.empty() && keyword != "no")
        return mark("Auto-Submitted", submitted);

    const std::string ours = headers.GetFieldValue("X-TarselAuto-Reply");
    if (mail::equalsNoCase(trimmed(withoutComments(ours)), "true"))
        return mark("X-TarselAuto-Reply", ours);

    // Only the first: the one the delivering server put on top.
    const std::string returnPath = headers.GetFieldValue("Return-Path");
    const std::string address = returnPathAddress(returnPath);
    const bool nullPath = address.empty() && returnPath.find('<') != std::string::npos;
    if (nullPath || isMailSystemAddress(address))
        return mark("Return-Path", returnPath);

    const std::string from = headers.GetFieldValue("From");
    if (!trimmed(from).empty() && (message.Sender().Address().empty() ||
                                   isMailSystemAddress(message.Sender().Address())))
        return mark("From", from);
    return {};
}

}  // namespace agents
