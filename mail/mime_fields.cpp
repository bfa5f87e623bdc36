#include "mail/mime_fields.h"

#include "mail/encoded_words.h"
#include "mail/mime_parameters.h"
#include "mail/text_case.h"

namespace mail {

std::string ContentTypeToken(std::string_view value)
{
    return trimmed(value.substr(0, value.find_first_of(" ;")));
}

namespace {

// The reading for fields the parameter syntax does not fit ("multipart/mixed
// boundary=x"): the first place the name occurs, "=" and the rest up to a
// quote or a blank.
std::string looseHeaderParam(std::string_view param, std::string_view value)
{
    if (hasMimeParameters(value))
        return {};
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

}  // namespace

std::string GetHeaderParam(std::string_view param, std::string_view value)
{
    if (std::optional<MimeParameterValue> found = findMimeParameter(param, value))
        return found->text;
    return looseHeaderParam(param, value);
}

std::string fileNameParam(std::string_view param, std::string_view value)
{
    if (std::optional<MimeParameterValue> found = findMimeParameter(param, value))
        return found->converted ? found->text : DecodeEncodedWords(found->text, 0);
    return DecodeEncodedWords(looseHeaderParam(param, value), 0);
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
