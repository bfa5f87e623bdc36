#include "mail/charset_conversion.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <memory>

#include "mail/text_case.h"
#include "platform/rtf_text.h"

namespace mail {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD
constexpr std::size_t kLongestName = 40;
constexpr std::size_t kCachedConverters = 16;

// A charset name as mail gives it ("UTF-8", "\"iso-8859-1\"", "utf-8*en")
// in the form asked of iconv; empty when it cannot be a name. Mail decides
// the name, so only the characters of real names pass: a "/" would ask
// iconv for transliteration or a module path.
std::string normalizedName(std::string_view charset)
{
    std::string name = trimmed(charset);
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"')
        name = trimmed(std::string_view(name).substr(1, name.size() - 2));
    name = name.substr(0, name.find('*'));  // an RFC 2231 language follows "*"
    return isCharsetName(name) ? lowerCase(name) : std::string();
}

bool namesAscii(const std::string& name)
{
    return name == "us-ascii" || name == "ascii" || name == "ansi_x3.4-1968" || name == "iso646-us";
}

// Charsets in which ASCII bytes are those characters (unlike ISO-2022-JP
// or UTF-7, which write other characters in ASCII bytes too).
bool keepsAscii(const std::string& name)
{
    static constexpr std::string_view kPrefixes[] = {"iso-8859", "iso8859", "windows-125", "cp125",
                                                     "utf-8",    "utf8",    "koi8",        "latin"};
    for (const std::string_view prefix : kPrefixes)
        if (name.rfind(prefix, 0) == 0)
            return true;
    return namesAscii(name);
}

struct IconvCloser {
    void operator()(void* handle) const { iconv_close(static_cast<iconv_t>(handle)); }
};
using Converter = std::unique_ptr<void, IconvCloser>;

// iconv_open reads the converter modules; mail asks for the same few
// charsets again and again, so the opened ones are kept (per thread, as a
// converter holds state). A name iconv refused is kept as refused.
iconv_t converterFor(const std::string& name)
{
    thread_local std::map<std::string, Converter> cache;
    auto it = cache.find(name);
    if (it == cache.end()) {
        if (cache.size() >= kCachedConverters)
            cache.clear();
        iconv_t opened = iconv_open("UTF-8", name.c_str());
        Converter handle(opened == reinterpret_cast<iconv_t>(-1) ? nullptr : opened);
        it = cache.emplace(name, std::move(handle)).first;
    }
    return it->second ? static_cast<iconv_t>(it->second.get()) : reinterpret_cast<iconv_t>(-1);
}

// Runs one iconv step into a scratch buffer and appends what it gave;
// returns the step's result with its errno.
std::size_t convertStep(iconv_t converter, char** in, std::size_t* inLeft, std::string& out, int& error)
{
    char buffer[4096];
    char* target = buffer;
    std::size_t targetLeft = sizeof buffer;
    errno = 0;
    const std::size_t result = iconv(converter, in, inLeft, &target, &targetLeft);
    error = errno;
    out.append(buffer, static_cast<std::size_t>(target - buffer));
    return result;
}

std::size_t validSequenceLength(std::string_view text, std::size_t i)
{
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80)
        return 1;
    const std::size_t extra = c >= 0xC2 && c <= 0xDF ? 1 : c >= 0xE0 && c <= 0xEF ? 2 : c >= 0xF0 && c <= 0xF4 ? 3 : 0;
    if (extra == 0 || i + extra >= text.size())
        return 0;
    return platform::IsValidUtf8(text.substr(i, extra + 1)) ? extra + 1 : 0;
}

}  // namespace

std::optional<std::string> convertToUtf8(std::string_view bytes, std::string_view charset)
{
    const std::string name = normalizedName(charset);
    if (name.empty())
        return std::nullopt;
    iconv_t converter = converterFor(name);
    if (converter == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    iconv(converter, nullptr, nullptr, nullptr, nullptr);  // a fresh shift state
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    // iconv takes a non-const pointer but does not write through it.
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    while (inLeft > 0) {
        int error = 0;
        if (convertStep(converter, &in, &inLeft, out, error) != static_cast<std::size_t>(-1))
            break;
        if (error == E2BIG)
            continue;
        if (error != EILSEQ && error != EINVAL) {
            out += platform::ToUtf8(std::string_view(in, inLeft));  // iconv gave up: the rest stays readable
            break;
        }
        // A byte that is no character here, or a sequence the text ends
        // inside: it is marked and the text read on from the next byte.
        out += kReplacement;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
        ++in;
        --inLeft;
    }
    // A stateful charset may owe a last shift back.
    for (int error = E2BIG; error == E2BIG;)
        convertStep(converter, nullptr, nullptr, out, error);
    return out;
}

std::string declaredTextToUtf8(std::string_view bytes, std::string_view charset)
{
    const std::string name = normalizedName(charset);
    if (isAscii(bytes) && (name.empty() || keepsAscii(name)))
        return std::string(bytes);
    if (!name.empty() && !namesAscii(name))
        if (std::optional<std::string> converted = convertToUtf8(bytes, name))
            return *std::move(converted);
    return platform::ToUtf8(bytes);
}

std::string repairUtf8(std::string_view text)
{
    if (platform::IsValidUtf8(text))
        return std::string(text);
    std::string out;
    out.reserve(text.size() + text.size() / 2);
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = validSequenceLength(text, i);
        if (length > 0) {
            out.append(text.substr(i, length));
            i += length;
        } else {
            platform::AppendUtf8(out, platform::Cp1252ToUnicode(static_cast<unsigned char>(text[i])));
            ++i;
        }
    }
    return out;
}

bool isCharsetName(std::string_view name)
{
    return !name.empty() && name.size() <= kLongestName && std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
               c == '.' || c == ':' || c == '+';
    });
}

bool isAscii(std::string_view text)
{
    return std::none_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

}  // namespace mail
