#include "mail/header_encoding.h"

#include <vector>

#include "mail/base64_coding.h"
#include "mail/charset_conversion.h"
#include "mail/encoded_words.h"
#include "mail/headers.h"
#include "mail/mail_address.h"
#include "mail/text_case.h"

namespace mail {

namespace {

constexpr std::size_t kWordLength = 75;
constexpr std::string_view kSuffix = "?=";
// What one word holds between "=?utf-8?x?" and "?=".
constexpr std::size_t kPayload = kWordLength - 10 - kSuffix.size();
constexpr std::size_t kBase64Bytes = kPayload / 4 * 3;
// Encoded characters of one RFC 2231 section.
constexpr std::size_t kSectionLength = 60;
constexpr char kHex[] = "0123456789ABCDEF";

bool isAlnum(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

// Characters a Q word may carry as they are wherever it stands, a display
// name included; the blank travels as "_".
bool qPlain(unsigned char c) { return isAlnum(c) || c == '!' || c == '*' || c == '+' || c == '-' || c == '/'; }

std::size_t qLength(unsigned char c) { return c == ' ' || qPlain(c) ? 1 : 3; }

void appendQ(std::string& out, unsigned char c)
{
    if (c == ' ') {
        out += '_';
    } else if (qPlain(c)) {
        out += static_cast<char>(c);
    } else {
        out += '=';
        out += kHex[c >> 4];
        out += kHex[c & 15];
    }
}

// The bytes of the UTF-8 character that begins at i (the text is valid).
std::size_t characterLength(std::string_view text, std::size_t i)
{
    const auto c = static_cast<unsigned char>(text[i]);
    const std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    return std::min(length, text.size() - i);
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool needsWord(std::string_view word, std::size_t longestWord)
{
    return !isAscii(word) || word.find("=?") != std::string_view::npos || word.size() > longestWord;
}

// A plain ASCII file name that can stand between quotes as it is.
bool plainFileName(std::string_view name)
{
    if (!isAscii(name) || name.find("=?") != std::string_view::npos)
        return false;
    for (const char c : name)
        if (c == '"' || c == '\\' || static_cast<unsigned char>(c) < 32 || c == 127)
            return false;
    return true;
}

// Bytes RFC 2231 lets stand as they are in an extended value.
bool attributeChar(unsigned char c)
{
    return isAlnum(c) || std::string_view("!#$&+-.^_`|~").find(static_cast<char>(c)) != std::string_view::npos;
}

std::string encodeAddresses(std::string_view field, std::string_view name)
{
    TmsHeaders single({std::string(field)});
    std::string out;
    for (const std::string& item : single.GetFieldList(name)) {
        if (item.empty())
            continue;
        if (!out.empty())
            out += ", ";
        if (item.find_first_of("<(") == std::string::npos) {
            out += repairUtf8(trimmed(item));  // a bare address has no name to encode
            continue;
        }
        TmsMailAddress address;
        textToMailAddressLenient(item, address);
        const std::string display = encodeDisplayName(address.Name());
        out += display.empty() ? "<" + address.Address() + ">" : display + " <" + address.Address() + ">";
    }
    return out;
}

}  // namespace

std::string encodedWords(std::string_view raw)
{
    const std::string text = repairUtf8(raw);
    std::size_t qTotal = 0;
    for (const char c : text)
        qTotal += qLength(static_cast<unsigned char>(c));
    // Q keeps mostly Latin text readable; base64 wins once it is much shorter.
    const bool q = qTotal * 2 <= (text.size() + 2) / 3 * 4 * 3;
    std::string out;
    std::string word;  // the bytes of the word being filled
    std::size_t filled = 0;
    const auto flush = [&] {
        if (word.empty())
            return;
        if (!out.empty())
            out += ' ';
        out += q ? "=?utf-8?q?" : "=?utf-8?b?";
        if (q)
            for (const char c : word)
                appendQ(out, static_cast<unsigned char>(c));
        else
            out += base64EncodeBlock(word);
        out += kSuffix;
        word.clear();
        filled = 0;
    };
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = characterLength(text, i);
        const std::string_view character = std::string_view(text).substr(i, length);
        std::size_t cost = length;
        if (q) {
            cost = 0;
            for (const char c : character)
                cost += qLength(static_cast<unsigned char>(c));
        }
        if (filled + cost > (q ? kPayload : kBase64Bytes))
            flush();
        word += character;
        filled += cost;
        i += length;
    }
    flush();
    return out;
}

std::string encodeHeaderText(std::string_view raw, std::size_t longestWord)
{
    const std::string text = repairUtf8(raw);
    // Words and the blank runs between them, in order.
    std::vector<std::string_view> pieces;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t end = i;
        const bool blank = isBlank(text[i]);
        while (end < text.size() && isBlank(text[end]) == blank)
            ++end;
        pieces.push_back(std::string_view(text).substr(i, end - i));
        i = end;
    }
    std::string out;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (isBlank(pieces[i].front()) || !needsWord(pieces[i], longestWord)) {
            out += pieces[i];
            continue;
        }
        // Neighbouring words that need encoding share their words, blanks
        // and all: a reader drops the blanks between two encoded words.
        std::size_t last = i;
        while (last + 2 < pieces.size() && needsWord(pieces[last + 2], longestWord))
            last += 2;
        std::string run;
        for (std::size_t k = i; k <= last; ++k)
            run += pieces[k];
        out += encodedWords(run);
        i = last;
    }
    return out;
}

std::string encodeDisplayName(std::string_view raw)
{
    const std::string name = repairUtf8(raw);
    if (isAscii(name) && name.find("=?") == std::string::npos)
        return quoteDisplayName(name);
    return encodedWords(name);
}

std::string encodeHeaderField(std::string_view field, std::size_t longestWord)
{
    const std::size_t colon = field.find(':');
    if (colon == std::string_view::npos)
        return encodeHeaderText(DecodeEncodedWords(field, 0), longestWord);
    const std::string_view name = field.substr(0, colon);
    const std::string value = trimmed(field.substr(colon + 1));
    if (isAddressField(name))
        return std::string(name) + ": " + encodeAddresses(field, name);
    return std::string(name) + ": " + encodeHeaderText(DecodeEncodedWords(value, 0), longestWord);
}

bool isAddressField(std::string_view name)
{
    static constexpr std::string_view kFields[] = {
        "From",          "Sender",          "Reply-To",          "To",
        "Cc",            "Bcc",             "Resent-From",       "Resent-Sender",
        "Resent-To",     "Resent-Cc",       "Resent-Bcc",        "Resent-Reply-To",
        "Errors-To",     "Mail-Followup-To", "Mail-Reply-To",    "Return-Receipt-To",
        "Disposition-Notification-To"};
    for (const std::string_view field : kFields)
        if (equalsNoCase(name, field))
            return true;
    return false;
}

bool isUnstructuredField(std::string_view name)
{
    static constexpr std::string_view kFields[] = {"Subject", "Comments", "Keywords", "Content-Description",
                                                   "Organization", "Thread-Topic"};
    for (const std::string_view field : kFields)
        if (equalsNoCase(name, field))
            return true;
    // X-UIDL is an identifier the lookups hand back undecoded.
    return startsWithNoCase(name, "X-") && !equalsNoCase(name, "X-UIDL");
}

std::string typeNameParameter(std::string_view raw)
{
    const std::string name = repairUtf8(raw);
    return "name=\"" + (plainFileName(name) ? name : encodedWords(name)) + "\"";
}

std::string dispositionNameParameter(std::string_view raw)
{
    const std::string name = repairUtf8(raw);
    if (plainFileName(name))
        return "filename=\"" + name + "\"";
    std::vector<std::string> sections(1);
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t length = characterLength(name, i);
        std::string encoded;
        for (std::size_t k = i; k < i + length; ++k) {
            const auto c = static_cast<unsigned char>(name[k]);
            if (attributeChar(c)) {
                encoded += static_cast<char>(c);
            } else {
                encoded += '%';
                encoded += kHex[c >> 4];
                encoded += kHex[c & 15];
            }
        }
        // A character stays within one section.
        if (sections.back().size() + encoded.size() > kSectionLength)
            sections.emplace_back();
        sections.back() += encoded;
        i += length;
    }
    if (sections.size() == 1)
        return "filename*=utf-8''" + sections.front();
    std::string out;
    for (std::size_t i = 0; i < sections.size(); ++i) {
        if (i > 0)
            out += "; ";
        out += "filename*" + std::to_string(i) + "*=" + (i == 0 ? "utf-8''" : "") + sections[i];
    }
    return out;
}

}  // namespace mail
