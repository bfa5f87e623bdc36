#include "mail/mime_fields.h"

#include "mail/text_case.h"

namespace mail {

std::string ContentTypeToken(std::string_view value)
{
    return trimmed(value.substr(0, value.find_first_of(" ;")));
}

std::string GetHeaderParam(std::string_view param, std::string_view value)
{
    const std::string lowerValue = lowerCase(value);
    const std::size_t at = lowerValue.find(lowerCase(param));
    if (param.empty() || at == std::string::npos)
        return {};
    // The name and the "=" after it go with everything before them.
    const std::size_t start = at + param.size() + 1;
    if (start >= value.size())
        return {};
    std::string rest = trimmed(value.substr(start));
    std::string result;
    if (!rest.empty() && rest.front() == '"') {
        const std::size_t close = rest.find('"', 1);
        result = rest.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    } else {
        result = rest.substr(0, rest.find(' '));
    }
    if (!result.empty() && result.back() == ';')
        result.pop_back();
    return trimmed(result);
}

TransferEncoding transferEncodingOf(std::string_view value)
{
    const std::string encoding = lowerCase(value);
    if (encoding == "base64")
        return {AttEncoding::Base64, false};
    if (encoding.rfind("x-uue", 0) == 0)
        return {AttEncoding::Base64, true};
    if (encoding == "quoted-printable")
        return {AttEncoding::QuotedPrintable, false};
    return {};
}

}  // namespace mail
