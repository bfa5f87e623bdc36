#include "retriever/core/message_keys.h"

#include <cstdint>

#include "mail/headers.h"
#include "mail/mail_date.h"
#include "mail/text_case.h"
#include "store/folder_tree.h"
#include "store/table_layouts.h"
#include "store/text_prefix.h"

namespace {

bool mapped(unsigned char c)
{
    switch (c) {
    case '|': case '?': case ':': case '"': case '<': case '>': case '/': case '\\':
        return true;
    default:
        return c < 32 || c == 127;
    }
}

bool validUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 && lead < 0xF5 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
        if (lead >= 0xF5)
            length = 0;
        if (length == 0 || i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        i += length;
    }
    return true;
}

constexpr std::size_t kSubjectBytes = 5;

bool lowerHex(std::string_view text)
{
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    return !text.empty();
}

std::string derived(std::string_view key, std::string_view tag, std::size_t width)
{
    return retriever::CutToFieldWidth(key, width - tag.size() - 1) + "-" + std::string(tag);
}

}  // namespace

std::string MakeSafeFileName(std::string_view text)
{
    std::string safe = retriever::CutToFieldWidth(text, retriever::kMaxFileKeyBytes);
    for (char& c : safe)
        if (mapped(static_cast<unsigned char>(c)))
            c = '-';
    // A hidden file would never be listed by the agent processor.
    if (!safe.empty() && safe.front() == '.')
        safe.front() = '-';
    return safe;
}

std::string PendingFileKey(const TmsHeaders& headers)
{
    const std::string id = headers.GetFieldValue("Message-ID");
    if (!id.empty())
        return MakeSafeFileName(id);
    return retriever::DateSubjectKey(headers, true);
}

namespace retriever {

std::string CutToFieldWidth(std::string_view text, std::size_t width)
{
    if (text.size() <= width)
        return std::string(text);
    std::size_t cut = width;
    if (validUtf8(text))
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
            --cut;
    return std::string(text.substr(0, cut));
}

std::string DateSubjectKey(const TmsHeaders& headers, bool safeSubject)
{
    const TDateTime date = MailDateToDateTime(headers.GetFieldValue("Date"));
    // A subject folded right after its name, or encoded with a leading blank,
    // begins with a blank on the server but not in the pending file written
    // from it: the key must come out the same from both.
    std::string subject = headers.GetFieldValue("Subject");
    subject.erase(0, subject.find_first_not_of(" \t"));
    const std::string key =
        platform::FormatDateTime("yyyymmddhhmmss", date) + store::Utf8Prefix(subject, kSubjectBytes);
    return safeSubject ? MakeSafeFileName(key) : key;
}

std::string ReceivedKey(const TmsHeaders& headers)
{
    std::string key = headers.GetFieldValue("Message-Id");
    if (key.empty())
        key = DateSubjectKey(headers, false);
    return CutToFieldWidth(key, static_cast<std::size_t>(store::kReceivedKeyWidth));
}

std::string ContentTag(std::string_view bytes)
{
    // FNV-1a: a tag only keeps keys apart; whether two messages are the
    // same is always decided from the messages themselves.
    std::uint64_t hash = 14695981039346656037ull;
    for (char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string tag(kLongTagDigits, '0');
    for (std::size_t i = kLongTagDigits; i-- > 0; hash >>= 4)
        tag[i] = kDigits[hash & 0xF];
    return tag;
}

std::string DerivedFileKey(std::string_view key, std::string_view tag)
{
    return derived(key, tag, kMaxFileKeyBytes);
}

std::string DerivedReceivedKey(std::string_view key, std::string_view tag)
{
    return derived(key, tag, static_cast<std::size_t>(store::kReceivedKeyWidth));
}

std::optional<std::string> TagInFileName(std::string_view fileName, std::string_view key)
{
    std::string_view stem = fileName;
    const std::string_view extension = store::kMailExtension;
    if (stem.size() > extension.size() && mail::equalsNoCase(stem.substr(stem.size() - extension.size()), extension))
        stem.remove_suffix(extension.size());
    if (stem == key)
        return std::string();
    for (const std::size_t digits : {kShortTagDigits, kLongTagDigits}) {
        if (stem.size() <= digits)
            continue;
        const std::string_view tag = stem.substr(stem.size() - digits);
        if (lowerHex(tag) && stem == DerivedFileKey(key, tag))
            return std::string(tag);
    }
    return std::nullopt;
}

std::string ReceivedKeyOf(const TmsHeaders& headers, std::string_view fileName)
{
    const std::optional<std::string> tag = TagInFileName(fileName, PendingFileKey(headers));
    if (tag && !tag->empty())
        return DerivedReceivedKey(ReceivedKey(headers), *tag);
    return ReceivedKey(headers);
}

std::string ReceivedSeekKey(const TmsHeaders& headers) { return ReceivedSeekKey(ReceivedKey(headers)); }

std::string ReceivedSeekKey(std::string_view receivedKey)
{
    std::string key(receivedKey);
    key.resize(static_cast<std::size_t>(store::kReceivedKeyWidth), ' ');
    return key;
}

}  // namespace retriever
