#include "mail/new_message_fields.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <random>

namespace mail {

namespace {

const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// A domain as it may stand right of the "@" of an id: dot-separated atoms
// of letters, digits and '-', none empty.
bool fitForId(std::string_view domain)
{
    if (domain.empty() || domain.size() > 253 || domain.front() == '.' || domain.back() == '.')
        return false;
    char last = 0;
    for (const char c : domain) {
        const bool letterOrDigit = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!letterOrDigit && c != '-' && c != '.')
            return false;
        if (c == '.' && last == '.')
            return false;
        last = c;
    }
    return true;
}

// The address without blanks and angle brackets around it.
std::string bareAddress(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t<");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t>");
    return std::string(text.substr(first, last - first + 1));
}

std::string idDomain(std::string_view address)
{
    const std::string whole = bareAddress(address);
    const auto at = whole.rfind('@');
    if (at != std::string::npos && fitForId(std::string_view(whole).substr(at + 1)))
        return whole.substr(at + 1);
    char host[256] = {};
    if (::gethostname(host, sizeof host - 1) == 0 && fitForId(host))
        return host;
    return "localhost";
}

std::uint64_t randomPart()
{
    thread_local std::mt19937_64 generator = [] {
        std::random_device device;
        std::seed_seq seed{device(), device(), device(), device(),
                           static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count())};
        return std::mt19937_64(seed);
    }();
    return generator();
}

}  // namespace

std::string MailDate(std::time_t moment)
{
    std::tm local{};
    ::localtime_r(&moment, &local);
    const long offset = local.tm_gmtoff / 60;
    const long minutes = offset < 0 ? -offset : offset;
    char text[64];
    std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d %c%02ld%02ld", kDays[local.tm_wday % 7],
                  local.tm_mday, kMonths[local.tm_mon % 12], local.tm_year + 1900, local.tm_hour, local.tm_min,
                  local.tm_sec, offset < 0 ? '-' : '+', minutes / 60, minutes % 60);
    return text;
}

std::string MailDateNow() { return MailDate(std::time(nullptr)); }

std::string NewMessageId(std::string_view address)
{
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    const auto micros = duration_cast<microseconds>(now.time_since_epoch()).count() % 1000000;
    std::tm utc{};
    ::gmtime_r(&seconds, &utc);
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d%02d%02d%02d.%06lld.%016llx", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                  static_cast<long long>(micros), static_cast<unsigned long long>(randomPart()));
    return "<" + std::string(stamp) + "@" + idDomain(address) + ">";
}

}  // namespace mail
