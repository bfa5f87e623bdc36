#include "agents/merge/merge_values.h"

#include "agents/merge/merge_code_line.h"
#include "mail/mail_address.h"
#include "platform/rtf_text.h"

namespace merge {
namespace {

constexpr std::size_t bodyLimit = 4000;   // a longer body is cut ...
constexpr std::size_t bodyCutLength = 3000;  // ... to this many bytes

const std::string versionPrefix = "Kalder Tarsel Mail Management System Version: ";

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && upperAscii(text.substr(0, prefix.size())) == upperAscii(prefix);
}

// UTF-8 text is cut before a character, not inside one; other text is one
// byte per character.
std::string cutOnCharacter(const std::string& text, std::size_t length)
{
    if (platform::IsValidUtf8(text))
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
            --length;
    return text.substr(0, length);
}

std::string formatDateTimeValue(std::string_view parameter, const MergeContext& context)
{
    const std::size_t paren = parameter.find('(');
    if (paren == std::string_view::npos) {
        logStep(context, "The FORMATDATETIME command is missing paramaters, please see the documentation on how to use this merge code");
        return {};
    }
    // "FORMATDATETIME(" and ")" take 16 of the parameter's characters.
    const std::size_t count = parameter.size() > 16 ? parameter.size() - 16 : 0;
    const std::string format(parameter.substr(paren + 1, count));
    logStep(context, "Formatting date time according to " + format);
    return platform::FormatDateTime(format, context.now());
}

}  // namespace

void logStep(const MergeContext& context, const std::string& line)
{
    if (context.log)
        context.log(line);
}

std::string bodyText(const TmsMessage& incoming)
{
    std::string text;
    const auto& lines = incoming.Body();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            text += "\r\n";
        text += lines[i];
    }
    if (text.size() > bodyLimit)
        return cutOnCharacter(text, bodyCutLength);
    return text;
}

std::string replyHeaderValue(const TmsMessage& incoming, std::string_view parameter)
{
    const std::string keyword = upperAscii(parameter);
    if (keyword == "FROMNAME" || keyword == "FROMADDRESS") {
        // A malformed From of a stranger's message must not stop the reply.
        TmsMailAddress from;
        mail::textToMailAddressLenient(incoming.Headers().GetFieldValue("From"), from);
        return keyword == "FROMNAME" ? from.Name() : from.Address();
    }
    if (keyword == "BODY")
        return bodyText(incoming);
    return incoming.Headers().GetFieldValue(parameter);
}

ReplyField replyFieldValue(const TmsMessage& incoming, std::string_view field)
{
    ReplyField result;
    for (const std::string& line : incoming.Body()) {
        if (!startsWithIgnoringCase(line, field))
            continue;
        result.matched = true;
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos)
            result.value = line.substr(equals + 1);
    }
    return result;
}

std::string systemValue(std::string_view parameter, const MergeContext& context)
{
    const std::string keyword = upperAscii(parameter);
    const bool processor = context.variant == MergeVariant::Processor;
    if (keyword == "DATETIME")
        return platform::DateTimeToStr(context.now());
    if (keyword == "DATE")
        return platform::DateToStr(context.now());
    if (keyword == "TIME")
        return platform::TimeToStr(context.now());
    if (keyword == "CURRENTNODE" && processor)
        return context.account.node;
    if (keyword == "CURRENTNODEADDRESS" && processor)
        return context.account.address;
    if (keyword == "VERSION")
        return versionPrefix + (processor ? "0.999" : ".9999");
    if (keyword.starts_with("FORMATDATETIME"))
        return formatDateTimeValue(parameter, context);
    return {};
}

}  // namespace merge
