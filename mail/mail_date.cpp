#include "mail/mail_date.h"

#include <array>
#include <cctype>
#include <optional>

#include "mail/strip_quotes.h"

namespace {

constexpr std::array<std::string_view, 12> kMonths = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                      "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

bool isDigit(char ch) { return ch >= '0' && ch <= '9'; }

std::string_view trim(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// Splits off the text up to the first blank; `text` keeps the trimmed rest.
std::string_view takeToken(std::string_view& text)
{
    std::size_t blank = text.find_first_of(" \t");
    std::string_view token = text.substr(0, blank);
    text = blank == std::string_view::npos ? std::string_view() : trim(text.substr(blank));
    return token;
}

std::optional<int> toNumber(std::string_view token)
{
    if (token.empty() || token.size() > 9)
        return std::nullopt;
    int value = 0;
    for (char ch : token) {
        if (!isDigit(ch))
            return std::nullopt;
        value = value * 10 + (ch - '0');
    }
    return value;
}

// Skips to the next digit; false when there is none or it ends the text.
bool skipToNumber(std::string_view& text)
{
    std::size_t digit = 0;
    while (digit < text.size() && !isDigit(text[digit]))
        ++digit;
    if (digit + 1 >= text.size())
        return false;
    text = trim(text.substr(digit));
    return true;
}

}  // namespace

TDateTime MailDateToDateTime(std::string_view text, std::string& rest)
{
    rest.clear();
    std::string value = StripQuotes(text);
    for (char& ch : value)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    std::string_view s = value;

    if (!skipToNumber(s))
        return 0;
    std::optional<int> day = toNumber(takeToken(s));

    // The month is the word after the day only: a month named later, in a
    // comment or zone, must not change the date.
    std::string_view monthToken = trim(s.substr(0, s.find_first_of(" \t")));
    int month = 0;
    for (std::size_t i = 0; i < kMonths.size() && month == 0; ++i)
        if (monthToken.find(kMonths[i]) != std::string_view::npos)
            month = static_cast<int>(i) + 1;
    if (!day || month == 0)
        return 0;

    if (!skipToNumber(s))
        return 0;
    std::string_view yearToken = takeToken(s);
    std::optional<int> year = toNumber(yearToken);
    if (!year)
        return 0;
    if (yearToken.size() <= 2)
        *year = platform::ExpandTwoDigitYear(*year);

    TDateTime date;
    if (!platform::TryEncodeDate(*year, month, *day, date))
        return 0;

    // A value ending with the year is taken at midnight.
    std::string_view timeToken = trim(takeToken(s));
    if (!timeToken.empty() && timeToken.back() == ',')
        timeToken.remove_suffix(1);
    TDateTime time = 0;
    if (!timeToken.empty() && !platform::TryStrToTime(timeToken, time))
        time = 0;  // an unreadable time is midnight, the date still counts

    rest = std::string(trim(s));
    return date < 0 ? date - time : date + time;
}

TDateTime MailDateToDateTime(std::string_view text)
{
    std::string rest;
    return MailDateToDateTime(text, rest);
}
