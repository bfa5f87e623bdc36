#include "platform/datetime.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace {

using namespace platform;

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    return EncodeDate(y, mo, d) + EncodeTime(h, mi, s, ms);
}

TEST(DateTime, EncodeDecodeRoundTripsAndRejectsImpossibleDates)
{
    EXPECT_DOUBLE_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_DOUBLE_EQ(EncodeDate(1900, 1, 1), 2.0);
    EXPECT_DOUBLE_EQ(EncodeDate(2000, 3, 1) - EncodeDate(2000, 2, 28), 2.0);  // leap
    EXPECT_DOUBLE_EQ(EncodeDate(1900, 3, 1) - EncodeDate(1900, 2, 28), 1.0);  // not leap

    for (int y : {1, 1899, 1900, 1969, 1970, 1998, 2000, 2038, 2050, 9999}) {
        int yy, mm, dd;
        DecodeDate(EncodeDate(y, 2, 28), yy, mm, dd);
        EXPECT_EQ(yy, y);
        EXPECT_EQ(mm, 2);
        EXPECT_EQ(dd, 28);
    }

    TDateTime out;
    EXPECT_FALSE(TryEncodeDate(1998, 2, 31, out));
    EXPECT_FALSE(TryEncodeDate(1999, 2, 29, out));
    EXPECT_FALSE(TryEncodeDate(1998, 13, 1, out));
    EXPECT_FALSE(TryEncodeDate(0, 1, 1, out));
    EXPECT_THROW(EncodeDate(1998, 2, 31), std::invalid_argument);
    EXPECT_FALSE(TryEncodeTime(24, 0, 0, 0, out));
    EXPECT_FALSE(TryEncodeTime(10, 60, 0, 0, out));
    EXPECT_THROW(EncodeTime(10, 0, 60), std::invalid_argument);
}

TEST(DateTime, DecodeRoundsToTheMillisecondAcrossMidnight)
{
    int h, m, s, ms;
    DecodeTime(At(1998, 12, 8, 9, 30, 15, 250), h, m, s, ms);
    EXPECT_EQ(h, 9);
    EXPECT_EQ(m, 30);
    EXPECT_EQ(s, 15);
    EXPECT_EQ(ms, 250);

    // A hair before midnight is midnight of the next day, for date and time alike.
    const TDateTime almost = EncodeDate(1998, 12, 31) + 0.9999999999;
    EXPECT_EQ(FormatDateTime("yyyymmddhhmmss", almost), "19990101000000");

    // Before day 0 the fraction still counts forward into the day.
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", -1.25), "1899-12-29 06:00");
}

TEST(DateTime, FormatsTheSystemsOwnFormats)
{
    const TDateTime v = At(2005, 3, 7, 14, 5, 9, 42);
    EXPECT_EQ(FormatDateTime("yyyymmddhhmmss", v), "20050307140509");
    EXPECT_EQ(FormatDateTime("mm/dd/yy", v), "03/07/05");
    EXPECT_EQ(FormatDateTime("hh:mm", v), "14:05");  // minutes, not the month
    EXPECT_EQ(FormatDateTime("hh:nn", v), "14:05");
    EXPECT_EQ(FormatDateTime("hh:nn:ss", v), "14:05:09");
    EXPECT_EQ(DateToStr(v), "03/07/05");
    EXPECT_EQ(TimeToStr(v), "14:05:09");
    EXPECT_EQ(DateTimeToStr(v), "03/07/05 14:05:09");
    EXPECT_EQ(DateTimeToStr(EncodeDate(2005, 3, 7)), "03/07/05 00:00:00");
}

TEST(DateTime, MonthCodeMeansMinutesOnlyRightAfterAnHour)
{
    const TDateTime v = At(2005, 3, 7, 14, 5, 9);
    EXPECT_EQ(FormatDateTime("h mm", v), "14 05");
    EXPECT_EQ(FormatDateTime("hh 'at' mm", v), "14 at 05");  // quotes do not end it
    EXPECT_EQ(FormatDateTime("mm hh", v), "03 14");
    EXPECT_EQ(FormatDateTime("hh:nn mm", v), "14:05 03");  // after nn it is the month again
    EXPECT_EQ(FormatDateTime("hh:mm dd mm", v), "14:05 07 03");
}

TEST(DateTime, FormatsUserFormatCodes)
{
    const TDateTime v = At(1998, 12, 8, 9, 30, 5, 7);  // a Tuesday
    EXPECT_EQ(FormatDateTime("d/m/yyyy", v), "8/12/1998");
    EXPECT_EQ(FormatDateTime("ddd dddd", v), "Tue Tuesday");
    EXPECT_EQ(FormatDateTime("mmm mmmm", v), "Dec December");
    EXPECT_EQ(FormatDateTime("yy yyyy y", v), "98 1998 98");
    EXPECT_EQ(FormatDateTime("h:n:s.z", v), "9:30:5.7");
    EXPECT_EQ(FormatDateTime("hh:nn:ss.zzz", v), "09:30:05.007");
    EXPECT_EQ(FormatDateTime("ddddd", v), "12/08/98");
    EXPECT_EQ(FormatDateTime("dddddd", v), "Tuesday, December 8, 1998");
    EXPECT_EQ(FormatDateTime("t|tt", v), "09:30|09:30:05");
    EXPECT_EQ(FormatDateTime("c", v), "12/08/98 09:30:05");
    EXPECT_EQ(FormatDateTime("c", EncodeDate(1998, 12, 8)), "12/08/98");
    EXPECT_EQ(FormatDateTime("", EncodeDate(1998, 12, 8)), "12/08/98");
    EXPECT_EQ(FormatDateTime("YYYY-MM-DD HH:NN", v), "1998-12-08 09:30");
}

TEST(DateTime, QuotedTextIsLiteral)
{
    const TDateTime v = At(1998, 12, 8, 9, 30);
    EXPECT_EQ(FormatDateTime("'Today is' dddd", v), "Today is Tuesday");
    EXPECT_EQ(FormatDateTime("\"yyyy\" yyyy", v), "yyyy 1998");
    EXPECT_EQ(FormatDateTime("'it''s' d", v), "its 8");
    EXPECT_EQ(FormatDateTime("d 'unterminated yy", v), "8 unterminated yy");
    EXPECT_EQ(FormatDateTime("d-x_#", v), "8-x_#");  // unknown characters pass through
}

TEST(DateTime, TwelveHourClock)
{
    EXPECT_EQ(FormatDateTime("h:nn am/pm", At(2000, 1, 1, 0, 15)), "12:15 am");
    EXPECT_EQ(FormatDateTime("h:nn AM/PM", At(2000, 1, 1, 12, 0)), "12:00 PM");
    EXPECT_EQ(FormatDateTime("hh:nn a/p", At(2000, 1, 1, 13, 5)), "01:05 p");
    EXPECT_EQ(FormatDateTime("h ampm", At(2000, 1, 1, 23, 0)), "11 PM");
    // The account editor's time: "mm" after the hour is minutes, the
    // marker right behind it.
    EXPECT_EQ(FormatDateTime("hh:mmAM/PM", At(2000, 1, 1, 13, 5)), "01:05PM");
    EXPECT_EQ(FormatDateTime("hh:mmAM/PM", At(2000, 1, 1, 0, 15)), "12:15AM");
    // The marker belongs to the hour before it only.
    EXPECT_EQ(FormatDateTime("hh 'am/pm'", At(2000, 1, 1, 13, 0)), "13 am/pm");
    EXPECT_EQ(FormatDateTime("hh hh am/pm", At(2000, 1, 1, 13, 0)), "13 01 pm");
}

TEST(DateTime, TwoDigitYearPivot)
{
    EXPECT_EQ(ExpandTwoDigitYear(0), 2000);
    EXPECT_EQ(ExpandTwoDigitYear(49), 2049);
    EXPECT_EQ(ExpandTwoDigitYear(50), 2050);
    EXPECT_EQ(ExpandTwoDigitYear(51), 1951);
    EXPECT_EQ(ExpandTwoDigitYear(99), 1999);
    EXPECT_EQ(ExpandTwoDigitYear(1998), 1998);

    EXPECT_EQ(StrToDate("12/31/50"), EncodeDate(2050, 12, 31));
    EXPECT_EQ(StrToDate("01/01/51"), EncodeDate(1951, 1, 1));
    EXPECT_EQ(StrToDate("12/31/99"), EncodeDate(1999, 12, 31));
    EXPECT_EQ(StrToDate("01/01/00"), EncodeDate(2000, 1, 1));
    EXPECT_EQ(StrToDate("02/29/2000"), EncodeDate(2000, 2, 29));
    EXPECT_EQ(StrToDate(" 3/7/05 "), EncodeDate(2005, 3, 7));
    // What the formatter writes the parser reads, across the century edge.
    for (int y : {1951, 1999, 2000, 2049, 2050}) {
        const TDateTime d = EncodeDate(y, 6, 15);
        EXPECT_EQ(StrToDate(DateToStr(d)), d) << y;
    }
}

TEST(DateTime, ParsingRejectsMalformedText)
{
    TDateTime out = 123;
    for (const char* bad : {"", "12/31", "13/01/98", "02/30/98", "12-31-98", "12/31/98x",
                            "12/31/198", "a/b/c", "12//98"})
        EXPECT_FALSE(TryStrToDate(bad, out)) << bad;
    EXPECT_EQ(out, 123);
    EXPECT_THROW(StrToDate("nonsense"), std::invalid_argument);

    EXPECT_EQ(StrToTime("09:30"), EncodeTime(9, 30, 0));
    EXPECT_EQ(StrToTime("23:59:59"), EncodeTime(23, 59, 59));
    for (const char* bad : {"", "9", "24:00", "10:60", "xx:yy", "10:30:", "10:30 pm"})
        EXPECT_FALSE(TryStrToTime(bad, out)) << bad;
    EXPECT_THROW(StrToTime(""), std::invalid_argument);
}

TEST(DateTime, ParsesTheScheduleDateAndTime)
{
    EXPECT_EQ(StrToDateTime("12/09/26 01:20"), At(2026, 12, 9, 1, 20));
    EXPECT_EQ(StrToDateTime("12/09/26"), EncodeDate(2026, 12, 9));
    TDateTime out;
    ASSERT_TRUE(TryStrToDateTime("12/09/26 ", out));
    EXPECT_EQ(out, EncodeDate(2026, 12, 9));
    EXPECT_FALSE(TryStrToDateTime("12/09/26 blank", out));
    EXPECT_FALSE(TryStrToDateTime("12/09/2601:20", out));

    // A schedule written with minute precision reads back the same minute.
    const TDateTime next = At(2026, 12, 9, 23, 50) + 90.0 / 1440;
    EXPECT_EQ(FormatDateTime("mm/dd/yy", next) + " " + FormatDateTime("hh:mm", next),
              "12/10/26 01:20");
}

}  // namespace

TEST(DateTime, ReadsTheTwelveHourTimeTheAccountWindowsShow)
{
    EXPECT_EQ(StrToTime("12:30AM"), EncodeTime(0, 30, 0));
    EXPECT_EQ(StrToTime("12:30PM"), EncodeTime(12, 30, 0));
    EXPECT_EQ(StrToTime("01:05pm"), EncodeTime(13, 5, 0));
    EXPECT_EQ(StrToTime("11:59AM"), EncodeTime(11, 59, 0));
    TDateTime out;
    for (const char* bad : {"13:00PM", "00:30AM", "10:30XM", "10:30A"})
        EXPECT_FALSE(TryStrToTime(bad, out)) << bad;
    // What is shown reads back as the time it came from.
    for (const TDateTime time : {EncodeTime(0, 0, 0), EncodeTime(12, 0, 0), EncodeTime(23, 45, 0)})
        EXPECT_EQ(StrToTime(FormatDateTime("hh:mmAM/PM", time)), time);
}
