#include "mail/mail_address.h"

#include <stdexcept>

#include "mail/strip_quotes.h"
#include "mail/text_case.h"
#include "mail/text_limit.h"

TmsMailAddress::TmsMailAddress(std::string_view address, std::string_view name)
    : name_(mail::limitText(name)), address_(mail::limitText(address))
{
}

void TmsMailAddress::SetName(std::string_view name) { name_ = mail::limitText(name); }
void TmsMailAddress::SetAddress(std::string_view address) { address_ = mail::limitText(address); }

void TmsMailAddress::Assign(const TmsMailAddress& source)
{
    name_ = source.name_;
    address_ = source.address_;
}

void TmsMailAddress::Clear()
{
    name_.clear();
    address_.clear();
}

namespace {

TmsMailAddress::Editor& installedEditor()
{
    static TmsMailAddress::Editor editor;
    return editor;
}

}  // namespace

bool TmsMailAddress::Edit()
{
    if (!installedEditor())
        return false;
    TmsMailAddress edited(*this);
    if (!installedEditor()(edited))
        return false;
    Assign(edited);
    return true;
}

void TmsMailAddress::SetEditor(Editor editor) { installedEditor() = std::move(editor); }

TmsAddressList& TmsAddressList::operator=(const TmsAddressList& other)
{
    if (this != &other)
        Assign(other);
    return *this;
}

TmsMailAddress& TmsAddressList::Items(int index) { return *items_.at(static_cast<std::size_t>(index)); }

const TmsMailAddress& TmsAddressList::Items(int index) const
{
    return *items_.at(static_cast<std::size_t>(index));
}

void TmsAddressList::Add(std::unique_ptr<TmsMailAddress> address)
{
    if (address)
        items_.push_back(std::move(address));
}

TmsMailAddress& TmsAddressList::AddAddress(std::string_view address, std::string_view name)
{
    items_.push_back(std::make_unique<TmsMailAddress>(address, name));
    return *items_.back();
}

void TmsAddressList::Assign(const TmsAddressList& source)
{
    if (this == &source)
        return;
    items_.clear();
    for (const auto& item : source.items_)
        items_.push_back(std::make_unique<TmsMailAddress>(*item));
}

namespace {

// The first "<" that is not inside a quoted display name; the first "<" at
// all when every one is quoted.
std::size_t findAngleOpen(std::string_view text)
{
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted && c == '\\' && i + 1 < text.size()) {
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == '<' && !quoted) {
            return i;
        }
    }
    return text.find('<');
}

// A name written quoted with escapes reads back as the text that was quoted.
std::string readDisplayName(std::string_view raw)
{
    std::string name = StripQuotes(raw);
    if (name.find('\\') == std::string::npos)
        return name;
    const std::string trimmedEnds = [&] {
        std::size_t b = 0, e = raw.size();
        while (b < e && static_cast<unsigned char>(raw[b]) <= ' ')
            ++b;
        while (e > b && static_cast<unsigned char>(raw[e - 1]) <= ' ')
            --e;
        return std::string(raw.substr(b, e - b));
    }();
    if (trimmedEnds.size() < 2 || trimmedEnds.front() != '"' || trimmedEnds.back() != '"')
        return name;
    std::string unescaped;
    for (std::size_t i = 1; i + 1 < trimmedEnds.size(); ++i) {
        if (trimmedEnds[i] == '\\' && i + 2 < trimmedEnds.size())
            ++i;
        unescaped += trimmedEnds[i];
    }
    return unescaped;
}

// The address between "<" and ">": its quotes go, unless they quote a
// local part ("\"Help Desk\"@host"), which they belong to.
std::string bracketedAddress(std::string_view inner)
{
    std::string address = StripQuotes(inner);
    const std::string whole = mail::trimmed(inner);
    const std::size_t close = whole.find('"', 1);
    if (whole.size() > 2 && whole.front() == '"' && close != std::string::npos && close + 1 < whole.size() &&
        whole[close + 1] == '@')
        return whole;
    return address;
}

void parseAddress(std::string_view text, TmsMailAddress& address, bool lenient)
{
    const std::size_t open = findAngleOpen(text);
    if (open != std::string_view::npos) {
        const std::size_t close = text.find('>', open + 1);
        if (close == std::string_view::npos) {
            if (!lenient)
                throw std::runtime_error("Unable to parse email address");
            address.SetAddress(StripQuotes(text.substr(open + 1)));
            address.SetName(readDisplayName(text.substr(0, open)));
            return;
        }
        address.SetAddress(bracketedAddress(text.substr(open + 1, close - open - 1)));
        std::string rest(text.substr(0, open));
        rest.append(text.substr(close + 1));
        address.SetName(readDisplayName(rest));
        return;
    }
    const std::size_t paren = text.find('(');
    if (paren != std::string_view::npos) {
        address.SetAddress(StripQuotes(text.substr(0, paren)));
        std::string_view after = text.substr(paren + 1);
        if (!after.empty())
            after.remove_suffix(1);  // the closing parenthesis
        address.SetName(StripQuotes(after));
        return;
    }
    address.SetAddress(text);
    address.SetName("");
}

}  // namespace

void TextToMailAddress(std::string_view text, TmsMailAddress& address)
{
    parseAddress(text, address, false);
}

std::pair<std::string, std::string> ParseMailAddress(std::string_view text)
{
    TmsMailAddress address;
    TextToMailAddress(text, address);
    return {address.Address(), address.Name()};
}

namespace mail {

void textToMailAddressLenient(std::string_view text, TmsMailAddress& address)
{
    parseAddress(text, address, true);
}

std::string quoteDisplayName(std::string_view name)
{
    if (name.empty())
        return {};
    // Already quoted as a whole, with no quote inside: keep it.
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"' &&
        name.substr(1, name.size() - 2).find('"') == std::string_view::npos)
        return std::string(name);
    if (name.find_first_of(".,;:\"<>()@[]\\") == std::string_view::npos)
        return std::string(name);
    std::string quoted = "\"";
    for (const char c : name) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

}  // namespace mail
