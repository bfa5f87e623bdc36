// Reading Date field values into date-times for message keys.

#include <gtest/gtest.h>

#include <string>

#include "mail/mail_date.h"
#include "platform/datetime.h"

namespace {

TDateTime at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    return platform::EncodeDate(year, month, day) + platform::EncodeTime(hour, minute, second);
}

TEST(MailDate, ReadsTheUsualForm)
{
    std::string rest;
    EXPECT_DOUBLE_EQ(MailDateToDateTime("Tue, 08 Dec 1998 09:30:00 +0100", rest), at(1998, 12, 8, 9, 30));
    EXPECT_EQ(rest, "+0100");
    EXPECT_DOUBLE_EQ(MailDateToDateTime("\"sat, 1 jan 2000 23:59:58 gmt\"", rest), at(2000, 1, 1, 23, 59, 58));
    EXPECT_EQ(rest, "GMT");
    EXPECT_DOUBLE_EQ(MailDateToDateTime("Wed, 3 Mar 2004 7:05:09, -0500 (EST)", rest), at(2004, 3, 3, 7, 5, 9));
    EXPECT_EQ(rest, "-0500 (EST)");
}

TEST(MailDate, TwoDigitYearsAreWindowed)
{
    EXPECT_DOUBLE_EQ(MailDateToDateTime("8 Dec 98 09:30:00 GMT"), at(1998, 12, 8, 9, 30));
    EXPECT_DOUBLE_EQ(MailDateToDateTime("8 Dec 05 09:30:00 GMT"), at(2005, 12, 8, 9, 30));
    EXPECT_DOUBLE_EQ(MailDateToDateTime("8 Dec 50 09:30:00 GMT"), at(2050, 12, 8, 9, 30));
    EXPECT_DOUBLE_EQ(MailDateToDateTime("8 Dec 51 09:30:00 GMT"), at(1951, 12, 8, 9, 30));
}

TEST(MailDate, TimeAndZoneMayBeMissing)
{
    std::string rest = "old";
    EXPECT_DOUBLE_EQ(MailDateToDateTime("08 Dec 1998 09:30", rest), at(1998, 12, 8, 9, 30));
    EXPECT_EQ(rest, "");
    EXPECT_DOUBLE_EQ(MailDateToDateTime("08 Dec 1998", rest), at(1998, 12, 8));
    EXPECT_EQ(rest, "");
}

TEST(MailDate, UnreadableTimeIsMidnightOfTheDate)
{
    std::string rest;
    EXPECT_DOUBLE_EQ(MailDateToDateTime("08 Dec 1998 xx:yy +0000", rest), at(1998, 12, 8));
    EXPECT_EQ(rest, "+0000");
}

TEST(MailDate, FailuresGiveZeroAndNoRest)
{
    const char* bad[] = {"", "   ", "Dec 5", "08 Xyz 1998 09:30:00 +0000", "31 Feb 1998 10:00:00 +0000",
                         "0x Dec 1998 10:00", "8", "08 Dec 9", "08 Dec", "Tue, 08 Dec 19x8 10:00 +0000",
                         "99999999999 Dec 1998 10:00"};
    for (const char* text : bad) {
        std::string rest = "old";
        EXPECT_EQ(MailDateToDateTime(text, rest), 0.0) << text;
        EXPECT_EQ(rest, "") << text;
    }
}

TEST(MailDate, MonthNamedInACommentDoesNotChangeTheDate)
{
    std::string rest;
    EXPECT_DOUBLE_EQ(MailDateToDateTime("Tue, 08 Dec 1998 09:30:00 +0100 (JAN)", rest), at(1998, 12, 8, 9, 30));
    EXPECT_EQ(rest, "+0100 (JAN)");
    // Nor does one in the zone name after a month-less date.
    EXPECT_EQ(MailDateToDateTime("08 1998 09:30:00 (MAR)"), 0.0);
}

TEST(MailDate, FullMonthNamesAreRead)
{
    EXPECT_DOUBLE_EQ(MailDateToDateTime("5 September 2001 12:00:00"), at(2001, 9, 5, 12));
}

}  // namespace
