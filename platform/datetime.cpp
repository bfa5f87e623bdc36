#include "platform/datetime.h"

#include <cmath>
#include <cstdio>
#include <ctime>
#include <stdexcept>

namespace platform {

namespace {

constexpr long long msPerDay = 86400000LL;
// Day 0 of the date-time type, counted from 1970-01-01.
constexpr long long epochOffset = 25569;
// 9999-12-31 as a day count; anything beyond is not a date.
constexpr double maxDay = 2958465.0;
constexpr double minDay = -693593.0;  // 0001-01-01

long long daysFromCivil(long long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void civilFromDays(long long z, int& year, int& month, int& day)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

bool isLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : days[m - 1];
}

// Splits a value into its day number and the milliseconds of that day,
// rounded to the nearest millisecond so that 10:59:59.9999 reads as 11:00.
// The time of a negative value is its fraction's magnitude, as the type
// has always stored it. Values that are no date read as day 0.
void splitValue(TDateTime value, long long& dayNumber, long long& msOfDay)
{
    if (!std::isfinite(value) || value > maxDay + 1 || value < minDay - 1)
        value = 0;
    const double whole = std::trunc(value);
    dayNumber = static_cast<long long>(whole);
    msOfDay = std::llround(std::fabs(value - whole) * static_cast<double>(msPerDay));
    if (msOfDay >= msPerDay) {
        msOfDay -= msPerDay;
        ++dayNumber;
    }
}

const char* const shortDayNames[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const longDayNames[] = {"Sunday", "Monday", "Tuesday", "Wednesday",
                                    "Thursday", "Friday", "Saturday"};
const char* const shortMonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const longMonthNames[] = {"January", "February", "March",     "April",
                                      "May",     "June",     "July",      "August",
                                      "September", "October", "November", "December"};

// Fixed whatever the locale: the tables and the files agree on these.
constexpr std::string_view shortDateFormat = "mm/dd/yy";
constexpr std::string_view longDateFormat = "dddd, mmmm d, yyyy";
constexpr std::string_view shortTimeFormat = "hh:nn";
constexpr std::string_view longTimeFormat = "hh:nn:ss";

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

bool startsWithNoCase(std::string_view text, size_t pos, std::string_view what)
{
    if (text.size() - pos < what.size())
        return false;
    for (size_t i = 0; i < what.size(); ++i)
        if (upper(text[pos + i]) != upper(what[i]))
            return false;
    return true;
}

void appendNumber(std::string& out, long long number, int digits)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*lld", digits, number);
    out += buf;
}

struct Parts {
    int year, month, day, dayOfWeek;  // dayOfWeek 0 = Sunday
    int hour, minute, second, msec;
};

Parts decompose(TDateTime value)
{
    long long dayNumber, ms;
    splitValue(value, dayNumber, ms);
    Parts p{};
    civilFromDays(dayNumber - epochOffset, p.year, p.month, p.day);
    // 1899-12-30 was a Saturday.
    p.dayOfWeek = static_cast<int>(((dayNumber + 6) % 7 + 7) % 7);
    p.hour = static_cast<int>(ms / 3600000);
    p.minute = static_cast<int>(ms / 60000 % 60);
    p.second = static_cast<int>(ms / 1000 % 60);
    p.msec = static_cast<int>(ms % 1000);
    return p;
}

// Does an am/pm marker follow the hour code at pos, before the next hour
// code? Then the hour is read on the 12-hour clock.
bool twelveHourClockAt(std::string_view f, size_t pos)
{
    bool quoted = false;
    for (size_t i = pos; i < f.size(); ++i) {
        const char c = f[i];
        if ((c == 'a' || c == 'A') && !quoted)
            return startsWithNoCase(f, i, "am/pm") || startsWithNoCase(f, i, "a/p") ||
                   startsWithNoCase(f, i, "ampm");
        if (c == 'h' || c == 'H')
            return false;
        if (c == '\'' || c == '"')
            quoted = !quoted;
    }
    return false;
}

void formatInto(std::string& out, std::string_view f, const Parts& p, int depth)
{
    char lastToken = ' ';
    size_t i = 0;
    while (i < f.size()) {
        const char starter = f[i];
        char token = upper(starter);
        size_t count = 1;
        while (i + count < f.size() && f[i + count] == starter)
            ++count;
        if (token >= 'A' && token <= 'Z') {
            // Right after an hour, "m" has always meant minutes.
            if (token == 'M' && lastToken == 'H')
                token = 'N';
            lastToken = token;
        }
        switch (token) {
        case 'Y':
            if (count <= 2)
                appendNumber(out, p.year % 100, 2);
            else
                appendNumber(out, p.year, 4);
            i += count;
            break;
        case 'M':
            if (count <= 2)
                appendNumber(out, p.month, static_cast<int>(count));
            else
                out += count == 3 ? shortMonthNames[p.month - 1] : longMonthNames[p.month - 1];
            i += count;
            break;
        case 'D':
            switch (count) {
            case 1:
            case 2: appendNumber(out, p.day, static_cast<int>(count)); break;
            case 3: out += shortDayNames[p.dayOfWeek]; break;
            case 4: out += longDayNames[p.dayOfWeek]; break;
            case 5: if (depth < 2) formatInto(out, shortDateFormat, p, depth + 1); break;
            default: if (depth < 2) formatInto(out, longDateFormat, p, depth + 1); break;
            }
            i += count;
            break;
        case 'H': {
            int hour = p.hour;
            if (twelveHourClockAt(f, i + count)) {
                hour %= 12;
                if (hour == 0)
                    hour = 12;
            }
            appendNumber(out, hour, count == 1 ? 1 : 2);
            i += count;
            break;
        }
        case 'N':
            appendNumber(out, p.minute, count == 1 ? 1 : 2);
            i += count;
            break;
        case 'S':
            appendNumber(out, p.second, count == 1 ? 1 : 2);
            i += count;
            break;
        case 'Z':
            appendNumber(out, p.msec, count == 1 ? 1 : 3);
            i += count;
            break;
        case 'T':
            if (depth < 2)
                formatInto(out, count == 1 ? shortTimeFormat : longTimeFormat, p, depth + 1);
            i += count;
            break;
        case 'C':
            if (depth < 2) {
                formatInto(out, shortDateFormat, p, depth + 1);
                if (p.hour != 0 || p.minute != 0 || p.second != 0) {
                    out += ' ';
                    formatInto(out, longTimeFormat, p, depth + 1);
                }
            }
            i += count;
            break;
        case 'A':
            // The marker keeps the letter case it is written in.
            if (startsWithNoCase(f, i, "am/pm")) {
                out.append(f.substr(p.hour >= 12 ? i + 3 : i, 2));
                i += 5;
            } else if (startsWithNoCase(f, i, "a/p")) {
                out += f[p.hour >= 12 ? i + 2 : i];
                i += 3;
            } else if (startsWithNoCase(f, i, "ampm")) {
                out += p.hour >= 12 ? "PM" : "AM";
                i += 4;
            } else {
                out += starter;
                ++i;
            }
            break;
        case '/':
            out += '/';
            ++i;
            break;
        case ':':
            out += ':';
            ++i;
            break;
        case '\'':
        case '"': {
            const size_t close = f.find(starter, i + 1);
            const size_t end = close == std::string_view::npos ? f.size() : close;
            out.append(f.substr(i + 1, end - i - 1));
            i = close == std::string_view::npos ? f.size() : close + 1;
            break;
        }
        default:
            out += starter;
            ++i;
            break;
        }
    }
}

std::string_view trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// Reads 1..maxDigits decimal digits at pos.
bool readNumber(std::string_view s, size_t& pos, size_t maxDigits, int& value, size_t& digits)
{
    value = 0;
    digits = 0;
    while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9' && digits < maxDigits) {
        value = value * 10 + (s[pos] - '0');
        ++pos;
        ++digits;
    }
    return digits > 0;
}

bool scanDate(std::string_view s, size_t& pos, TDateTime& out)
{
    int month, day, year;
    size_t digits;
    if (!readNumber(s, pos, 2, month, digits) || pos >= s.size() || s[pos] != '/')
        return false;
    ++pos;
    if (!readNumber(s, pos, 2, day, digits) || pos >= s.size() || s[pos] != '/')
        return false;
    ++pos;
    if (!readNumber(s, pos, 4, year, digits) || digits == 3)
        return false;
    if (digits <= 2)
        year = ExpandTwoDigitYear(year);
    return TryEncodeDate(year, month, day, out);
}

bool scanTime(std::string_view s, size_t& pos, TDateTime& out)
{
    int hour, minute, second = 0;
    size_t digits;
    if (!readNumber(s, pos, 2, hour, digits) || pos >= s.size() || s[pos] != ':')
        return false;
    ++pos;
    if (!readNumber(s, pos, 2, minute, digits))
        return false;
    if (pos < s.size() && s[pos] == ':') {
        ++pos;
        if (!readNumber(s, pos, 2, second, digits))
            return false;
    }
    // The 12-hour form "hh:mmAM/PM" that the account windows show, the marker
    // right after the minutes: 12AM is midnight, 12PM noon.
    const size_t marker = pos;
    if (marker + 1 < s.size() && (upper(s[marker + 1]) == 'M') &&
        (upper(s[marker]) == 'A' || upper(s[marker]) == 'P')) {
        if (hour < 1 || hour > 12)
            return false;
        hour = hour % 12 + (upper(s[marker]) == 'P' ? 12 : 0);
        pos = marker + 2;
    }
    return TryEncodeTime(hour, minute, second, 0, out);
}

}  // namespace

bool TryEncodeDate(int year, int month, int day, TDateTime& out)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > daysInMonth(year, month))
        return false;
    out = static_cast<double>(daysFromCivil(year, static_cast<unsigned>(month),
                                            static_cast<unsigned>(day)) +
                              epochOffset);
    return true;
}

TDateTime EncodeDate(int year, int month, int day)
{
    TDateTime out;
    if (!TryEncodeDate(year, month, day, out))
        throw std::invalid_argument("Invalid argument to date encode");
    return out;
}

bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& out)
{
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
        msec < 0 || msec > 999)
        return false;
    out = static_cast<double>(((hour * 60LL + minute) * 60 + second) * 1000 + msec) /
          static_cast<double>(msPerDay);
    return true;
}

TDateTime EncodeTime(int hour, int minute, int second, int msec)
{
    TDateTime out;
    if (!TryEncodeTime(hour, minute, second, msec, out))
        throw std::invalid_argument("Invalid argument to time encode");
    return out;
}

void DecodeDate(TDateTime value, int& year, int& month, int& day)
{
    const Parts p = decompose(value);
    year = p.year;
    month = p.month;
    day = p.day;
}

void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& msec)
{
    const Parts p = decompose(value);
    hour = p.hour;
    minute = p.minute;
    second = p.second;
    msec = p.msec;
}

TDateTime Now()
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    std::tm tm{};
    localtime_r(&ts.tv_sec, &tm);
    return EncodeDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday) +
           EncodeTime(tm.tm_hour, tm.tm_min, tm.tm_sec > 59 ? 59 : tm.tm_sec,
                      static_cast<int>(ts.tv_nsec / 1000000));
}

TDateTime Date() { return std::trunc(Now()); }

int ExpandTwoDigitYear(int year)
{
    if (year < 0 || year > 99)
        return year;
    return year >= 51 ? 1900 + year : 2000 + year;
}

std::string FormatDateTime(std::string_view format, TDateTime value)
{
    std::string out;
    // An empty format has always meant the short date and long time.
    formatInto(out, format.empty() ? std::string_view("c") : format, decompose(value), 0);
    return out;
}

std::string DateToStr(TDateTime value) { return FormatDateTime(shortDateFormat, value); }

std::string TimeToStr(TDateTime value) { return FormatDateTime(longTimeFormat, value); }

std::string DateTimeToStr(TDateTime value) { return FormatDateTime("mm/dd/yy hh:nn:ss", value); }

bool TryStrToDate(std::string_view text, TDateTime& out)
{
    const std::string_view s = trim(text);
    size_t pos = 0;
    TDateTime value;
    if (!scanDate(s, pos, value) || pos != s.size())
        return false;
    out = value;
    return true;
}

TDateTime StrToDate(std::string_view text)
{
    TDateTime out;
    if (!TryStrToDate(text, out))
        throw std::invalid_argument("'" + std::string(text) + "' is not a valid date");
    return out;
}

bool TryStrToTime(std::string_view text, TDateTime& out)
{
    const std::string_view s = trim(text);
    size_t pos = 0;
    TDateTime value;
    if (!scanTime(s, pos, value) || pos != s.size())
        return false;
    out = value;
    return true;
}

TDateTime StrToTime(std::string_view text)
{
    TDateTime out;
    if (!TryStrToTime(text, out))
        throw std::invalid_argument("'" + std::string(text) + "' is not a valid time");
    return out;
}

bool TryStrToDateTime(std::string_view text, TDateTime& out)
{
    const std::string_view s = trim(text);
    size_t pos = 0;
    TDateTime date, time = 0;
    if (!scanDate(s, pos, date))
        return false;
    if (pos < s.size()) {
        if (s[pos] != ' ' && s[pos] != '\t')
            return false;
        while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t'))
            ++pos;
        if (!scanTime(s, pos, time) || pos != s.size())
            return false;
    }
    // Before day 0 the time counts away from zero, as the type stores it.
    out = date < 0 ? date - time : date + time;
    return true;
}

TDateTime StrToDateTime(std::string_view text)
{
    TDateTime out;
    if (!TryStrToDateTime(text, out))
        throw std::invalid_argument("'" + std::string(text) + "' is not a valid date and time");
    return out;
}

}  // namespace platform
