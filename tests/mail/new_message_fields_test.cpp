// The Date and Message-ID of a new message: the RFC 5322 date in the local
// zone whatever its offset, read back by the system's own date reader, and
// ids that never repeat and carry a domain fit for an id.
#include <gtest/gtest.h>

#include <time.h>

#include <regex>
#include <set>
#include <string>

#include "mail/mail_date.h"
#include "mail/new_message_fields.h"
#include "platform/datetime.h"
#include "tests/support/scoped_env.h"

namespace {

// A zone for one test; POSIX zone texts need no zone files.
class Zone {
public:
    explicit Zone(const char* tz) : env_("TZ", tz) { ::tzset(); }
    ~Zone() { ::tzset(); }

private:
    test_support::ScopedEnv env_;
};

// 2026-03-01 23:30:05 UTC, a Sunday.
constexpr std::time_t kMoment = 1772407805;

TEST(NewMessageFields, TheDateNamesTheLocalClockAndItsOffset)
{
    {
        Zone zone("UTC0");
        EXPECT_EQ(mail::MailDate(kMoment), "Sun, 01 Mar 2026 23:30:05 +0000");
        EXPECT_EQ(mail::MailDate(0), "Thu, 01 Jan 1970 00:00:00 +0000");
    }
    {
        // Half-hour zones on both sides, and a day and month that the
        // offset changes.
        Zone zone("IST-5:30");
        EXPECT_EQ(mail::MailDate(kMoment), "Mon, 02 Mar 2026 05:00:05 +0530");
    }
    {
        Zone zone("NST3:30");
        EXPECT_EQ(mail::MailDate(kMoment), "Sun, 01 Mar 2026 20:00:05 -0330");
    }
    {
        Zone zone("HST10");
        EXPECT_EQ(mail::MailDate(1767225599), "Wed, 31 Dec 2025 13:59:59 -1000");
    }
}

TEST(NewMessageFields, TheDateOfNowReadsBackAsNow)
{
    const std::string now = mail::MailDateNow();
    EXPECT_TRUE(std::regex_match(now, std::regex(R"((Mon|Tue|Wed|Thu|Fri|Sat|Sun), \d\d )"
                                                 R"((Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) )"
                                                 R"(\d{4} \d\d:\d\d:\d\d [+-]\d{4})")))
        << now;
    std::string zone;
    const TDateTime read = MailDateToDateTime(now, zone);
    EXPECT_LT(std::abs(read - platform::Now()), 5.0 / 86400) << now;
    EXPECT_EQ(zone, now.substr(now.size() - 5));
}

TEST(NewMessageFields, IdsAreFreshAndTakeTheAddressesDomain)
{
    const std::regex form(R"(<\d{14}\.\d{6}\.[0-9a-f]{16}@example\.org>)");
    std::set<std::string> ids;
    for (int i = 0; i < 2000; ++i) {
        const std::string id = mail::NewMessageId("desk@example.org");
        ASSERT_TRUE(std::regex_match(id, form)) << id;
        ids.insert(id);
    }
    EXPECT_EQ(ids.size(), 2000u);
    // The clock part is UTC, today's date.
    const std::string id = mail::NewMessageId("desk@example.org");
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    ::gmtime_r(&now, &utc);
    char today[16];
    std::strftime(today, sizeof today, "%Y%m%d", &utc);
    EXPECT_EQ(id.substr(1, 8), today);
    EXPECT_EQ(mail::NewMessageId(" <Desk@Mail.Example.ORG> ").substr(id.size() - 13), "@Mail.Example.ORG>");
}

TEST(NewMessageFields, AnAddressWithoutAFitDomainTakesTheHostsName)
{
    const std::string fallback = mail::NewMessageId("");
    const std::string domain = fallback.substr(fallback.find('@') + 1);
    ASSERT_FALSE(domain.empty());
    EXPECT_EQ(domain.back(), '>');
    EXPECT_TRUE(std::regex_match(domain, std::regex(R"([A-Za-z0-9-]+(\.[A-Za-z0-9-]+)*>)"))) << fallback;
    for (const char* address : {"desk", "desk@", "desk@exa mple.org", "desk@a..b", "desk@.example.org",
                                "desk@example.org.", "desk@ex>ample.org", "desk@[127.0.0.1]"}) {
        const std::string id = mail::NewMessageId(address);
        EXPECT_EQ(id.substr(id.find('@')), "@" + domain) << address;
    }
    // Whatever the address holds, the id stays one field of one line.
    const std::string id = mail::NewMessageId("d@e\r\nBcc: x@evil.example");
    EXPECT_TRUE(std::regex_match(id, std::regex(R"(<[0-9.a-f]+@evil\.example>)"))) << id;
}

}  // namespace
