#include "mail/mime_parameters.h"

#include <map>
#include <vector>

#include "mail/charset_conversion.h"
#include "mail/text_case.h"
#include "platform/hex_digit.h"

namespace mail {

namespace {

// Sections beyond this are no real value's; a hostile field must not make
// the reader gather thousands of them.
constexpr int kLastSection = 999;

struct RawParameter {
    std::string name;  // lower case, with any "*N" and "*" marks
    std::string value;
};

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::size_t skipBlanks(std::string_view text, std::size_t i)
{
    while (i < text.size() && isBlank(text[i]))
        ++i;
    return i;
}

// A quoted string from the quote at `i`: its text without the quotes and
// escapes; `i` ends after the closing quote (or at the end).
std::string readQuoted(std::string_view text, std::size_t& i)
{
    std::string value;
    for (++i; i < text.size() && text[i] != '"'; ++i) {
        if (text[i] == '\\' && i + 1 < text.size())
            ++i;
        value += text[i];
    }
    if (i < text.size())
        ++i;
    return value;
}

std::vector<RawParameter> parameters(std::string_view field)
{
    std::vector<RawParameter> found;
    std::size_t i = field.find(';');
    while (i != std::string_view::npos && i < field.size()) {
        i = skipBlanks(field, i + 1);
        const std::size_t equals = field.find_first_of("=;", i);
        if (equals == std::string_view::npos || field[equals] == ';') {
            i = equals;
            continue;
        }
        RawParameter parameter{lowerCase(trimmed(field.substr(i, equals - i))), {}};
        i = skipBlanks(field, equals + 1);
        if (i < field.size() && field[i] == '"') {
            parameter.value = readQuoted(field, i);
        } else {
            const std::size_t end = std::min(field.find_first_of("; \t", i), field.size());
            parameter.value = std::string(field.substr(i, end - i));
            i = end;
        }
        found.push_back(std::move(parameter));
        i = field.find(';', i);
    }
    return found;
}

std::string percentDecoded(std::string_view text)
{
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int high = text[i] == '%' && i + 2 < text.size() ? platform::HexDigitValue(text[i + 1]) : -1;
        const int low = high >= 0 ? platform::HexDigitValue(text[i + 2]) : -1;
        if (low >= 0) {
            bytes += static_cast<char>(high * 16 + low);
            i += 2;
        } else {
            bytes += text[i];
        }
    }
    return bytes;
}

// "charset'language'%XX..." into its charset and the value's bytes.
void splitExtended(std::string_view text, std::string& charset, std::string& bytes)
{
    const std::size_t first = text.find('\'');
    const std::size_t second = first == std::string_view::npos ? first : text.find('\'', first + 1);
    if (second == std::string_view::npos) {
        bytes += percentDecoded(text);
        return;
    }
    charset = std::string(text.substr(0, first));
    bytes += percentDecoded(text.substr(second + 1));
}

// The section number of "name*N" or "name*N*"; -1 when it is none.
int sectionOf(std::string_view rest)
{
    if (!rest.empty() && rest.back() == '*')
        rest.remove_suffix(1);
    if (rest.empty() || rest.size() > 3)
        return -1;
    int number = 0;
    for (const char c : rest) {
        if (c < '0' || c > '9')
            return -1;
        number = number * 10 + (c - '0');
    }
    return number <= kLastSection ? number : -1;
}

}  // namespace

std::optional<MimeParameterValue> findMimeParameter(std::string_view name, std::string_view fieldValue)
{
    if (name.empty())
        return std::nullopt;
    const std::string wanted = lowerCase(name);
    std::optional<std::string> plain;
    std::optional<std::string> extended;
    std::map<int, RawParameter> sections;
    for (RawParameter& parameter : parameters(fieldValue)) {
        if (parameter.name == wanted) {
            if (!plain)
                plain = std::move(parameter.value);
        } else if (parameter.name == wanted + "*") {
            if (!extended)
                extended = std::move(parameter.value);
        } else if (parameter.name.size() > wanted.size() + 1 && parameter.name.compare(0, wanted.size(), wanted) == 0 &&
                   parameter.name[wanted.size()] == '*') {
            const int section = sectionOf(std::string_view(parameter.name).substr(wanted.size() + 1));
            if (section >= 0)
                sections.emplace(section, std::move(parameter));
        }
    }
    std::string charset;
    std::string bytes;
    if (extended) {
        splitExtended(*extended, charset, bytes);
    } else if (!sections.empty() && sections.begin()->first == 0) {
        // Sections count from 0 without gaps; a missing one ends the value.
        int next = 0;
        for (const auto& [number, parameter] : sections) {
            if (number != next++)
                break;
            const bool coded = parameter.name.back() == '*';
            if (coded && number == 0)
                splitExtended(parameter.value, charset, bytes);
            else
                bytes += coded ? percentDecoded(parameter.value) : parameter.value;
        }
    } else if (plain) {
        return MimeParameterValue{*std::move(plain), false};
    } else {
        return std::nullopt;
    }
    return MimeParameterValue{declaredTextToUtf8(bytes, charset), true};
}

bool hasMimeParameters(std::string_view fieldValue) { return !parameters(fieldValue).empty(); }

}  // namespace mail
