#include "tables/short_date.h"

#include <gtest/gtest.h>

#include "tables/db_errors.h"

using namespace tables;

namespace {
struct FormatScope {
    FormatScope(std::string f, char sep) { setShortDateFormat(std::move(f), sep); }
    ~FormatScope() { setShortDateFormat("mm/dd/yy", '/'); }
};
}  // namespace

TEST(TablesShortDate, FixedFormatRoundTripsAcrossThePivot) {
    EXPECT_EQ(dateToText(platform::EncodeDate(2030, 1, 5)), "01/05/30");
    EXPECT_EQ(textToDate("01/05/30"), platform::EncodeDate(2030, 1, 5));
    EXPECT_EQ(textToDate("12/31/50"), platform::EncodeDate(2050, 12, 31));
    EXPECT_EQ(textToDate("01/01/51"), platform::EncodeDate(1951, 1, 1));
    EXPECT_EQ(textToDate("7/4/1930"), platform::EncodeDate(1930, 7, 4));
}

TEST(TablesShortDate, RejectsWhatIsNotADate) {
    EXPECT_THROW(textToDate("13/01/20"), EConvertError);
    EXPECT_THROW(textToDate("02/30/20"), EConvertError);
    EXPECT_THROW(textToDate("hello"), EConvertError);
    EXPECT_THROW(textToDate("01/02"), EConvertError);
    EXPECT_THROW(textToDate(""), EConvertError);
}

TEST(TablesShortDate, OtherOrdersAndSeparators) {
    FormatScope german("dd.mm.yyyy", '.');
    EXPECT_EQ(dateToText(platform::EncodeDate(1999, 3, 7)), "07.03.1999");
    EXPECT_EQ(textToDate("07.03.1999"), platform::EncodeDate(1999, 3, 7));
    FormatScope ansi("yy.mm.dd", '.');
    EXPECT_EQ(dateToText(platform::EncodeDate(2004, 11, 2)), "04.11.02");
    EXPECT_EQ(textToDate("04.11.02"), platform::EncodeDate(2004, 11, 2));
}
