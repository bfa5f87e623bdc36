// Field descriptors, field values at their widths, and memo round trips.
#include <gtest/gtest.h>

#include "platform/datetime.h"
#include "table_fixture.h"
#include "tables/cursor_interface.h"
#include "xbase/sx.h"

using namespace tables;
using namespace tabletest;

namespace {

class TablesCursorFields : public TablesTest {
protected:
    void SetUp() override {
        TablesTest::SetUp();
        makeTable("values.dbf", {field("NAME", 'C', 6), field("SMALL", 'N', 4), field("WIDE", 'N', 5),
                                  field("MONEY", 'N', 7, 3), field("TINY", 'N', 6, 1), field("BORN", 'D'),
                                  field("OK", 'L'), field("NOTES", 'M')});
        ASSERT_EQ(cursors().OpenDatabase(folder, db), kOk);
        static const std::string fox = "SXFOX";
        ASSERT_EQ(cursors().OpenTable(db, "values.dbf", &fox, "", "", false, false, h), kOk);
        ASSERT_EQ(cursors().InitRecord(h, record), kOk);
    }
    void TearDown() override {
        cursors().CloseCursor(h);
        cursors().CloseDatabase(db);
        TablesTest::TearDown();
    }
    std::string stored(int fieldNo) {
        const FieldDesc& d = cursors().workArea(h)->fields.physical[static_cast<size_t>(fieldNo - 1)];
        return record.substr(static_cast<size_t>(d.offset), static_cast<size_t>(d.length));
    }
    DBIResult put(int fieldNo, FieldValue v) { return cursors().PutField(h, fieldNo, record, &v); }
    FieldValue get(int fieldNo) {
        FieldValue v;
        bool blank = false;
        EXPECT_EQ(cursors().GetField(h, fieldNo, record, &v, &blank), kOk);
        EXPECT_FALSE(blank);
        return v;
    }
    int db = 0;
    int h = 0;
    std::string record;
};

DayNumber dayOf(int y, int m, int d) {
    return DayNumber{static_cast<int32_t>(platform::EncodeDate(y, m, d)) + kDayNumberOffset};
}

}  // namespace

TEST_F(TablesCursorFields, TypesFollowWidthAndDecimals) {
    std::vector<FieldDesc> logical;
    ASSERT_EQ(cursors().GetFieldDescs(h, logical), kOk);
    ASSERT_EQ(logical.size(), 8u);
    EXPECT_EQ(logical[0].type, fldText);
    EXPECT_EQ(logical[0].length, 7);
    EXPECT_EQ(logical[1].type, fldInt16);   // width 4, no decimals
    EXPECT_EQ(logical[2].type, fldFloat);   // width 5
    EXPECT_EQ(logical[3].units2, 3);
    EXPECT_EQ(logical[5].type, fldDate);
    EXPECT_EQ(logical[7].type, fldBlob);
    EXPECT_EQ(logical[7].subtype, fsMemo);
    // With translation off the physical descriptors come back.
    ASSERT_EQ(cursors().SetProp(h, 0), kOk);
    std::vector<FieldDesc> physical;
    ASSERT_EQ(cursors().GetFieldDescs(h, physical), kOk);
    EXPECT_EQ(physical[0].type, fldCharacter);
    EXPECT_EQ(physical[0].offset, 1);  // right after the deletion byte
    EXPECT_EQ(physical[5].length, 8);
}

TEST_F(TablesCursorFields, NumbersAtTheirWidths) {
    EXPECT_EQ(put(4, 1234.567), kOk);
    EXPECT_EQ(stored(4), "1234.57");
    EXPECT_EQ(put(5, 12345678.9), kValueTooWide);
    EXPECT_EQ(stored(5), "      ");  // a failed put leaves the record alone
    EXPECT_EQ(put(5, 123456.7), kOk);
    EXPECT_EQ(stored(5), "123457");
    EXPECT_EQ(put(3, 123456.0), kValueTooWide);  // no decimals left to give up
    EXPECT_EQ(put(2, int32_t{-999}), kOk);
    EXPECT_EQ(stored(2), "-999");
    EXPECT_EQ(put(2, int32_t{12345}), kValueTooWide);
    EXPECT_EQ(std::get<int32_t>(get(2)), -999);
    EXPECT_DOUBLE_EQ(std::get<double>(get(4)), 1234.57);
    ASSERT_EQ(cursors().PutField(h, 4, record, nullptr), kOk);
    EXPECT_EQ(stored(4), "  0.000");
    ASSERT_EQ(cursors().PutField(h, 2, record, nullptr), kOk);
    bool blank = false;
    EXPECT_EQ(cursors().GetField(h, 2, record, nullptr, &blank), kOk);
    EXPECT_TRUE(blank);
}

TEST_F(TablesCursorFields, TextsAndBooleans) {
    EXPECT_EQ(put(1, std::string("abcdefgh")), kOk);
    EXPECT_EQ(stored(1), "abcdef");
    // A UTF-8 text is cut before a character, never inside one.
    EXPECT_EQ(put(1, std::string("abcd\xC3\xA9x")), kOk);
    EXPECT_EQ(stored(1), "abcd\xC3\xA9");
    EXPECT_EQ(put(1, std::string("abcde\xC3\xA9")), kOk);
    EXPECT_EQ(stored(1), "abcde ");
    EXPECT_EQ(std::get<std::string>(get(1)), "abcde");
    EXPECT_EQ(put(7, true), kOk);
    EXPECT_EQ(stored(7), "T");
    ASSERT_EQ(cursors().PutField(h, 7, record, nullptr), kOk);
    EXPECT_EQ(stored(7), "F");
    EXPECT_FALSE(std::get<bool>(get(7)));
}

TEST_F(TablesCursorFields, DatesAndTheEpochWindow) {
    EXPECT_EQ(put(6, dayOf(1930, 7, 4)), kOk);
    EXPECT_EQ(stored(6), "19300704");  // epoch 1900: stored as given
    EXPECT_EQ(std::get<DayNumber>(get(6)).days, dayOf(1930, 7, 4).days);
    sx_SetEpoch(1950);
    EXPECT_EQ(put(6, dayOf(1930, 7, 4)), kOk);
    EXPECT_EQ(stored(6), "20300704");
    EXPECT_EQ(put(6, dayOf(2070, 1, 2)), kOk);
    EXPECT_EQ(stored(6), "19700102");
    sx_SetCentury(-1);
    EXPECT_EQ(put(6, dayOf(1930, 7, 4)), kOk);
    EXPECT_EQ(stored(6), "19300704");
    sx_SetCentury(0);
    ASSERT_EQ(cursors().PutField(h, 6, record, nullptr), kOk);
    EXPECT_EQ(stored(6), "        ");
}

TEST_F(TablesCursorFields, MemoRoundTripsThroughTheRecord) {
    const std::string text = "first line\r\nsecond line";
    ASSERT_EQ(cursors().PutBlob(h, record, 8, 0, text), kOk);
    ASSERT_EQ(cursors().AppendRecord(h, record), kOk);
    std::string read;
    ASSERT_EQ(cursors().SetToBegin(h), kOk);
    ASSERT_EQ(cursors().GetNextRecord(h, false, &read, nullptr), kOk);
    int32_t size = 0;
    ASSERT_EQ(cursors().GetBlobSize(h, read, 8, size), kOk);
    EXPECT_EQ(size, static_cast<int32_t>(text.size()));
    std::string part;
    EXPECT_EQ(cursors().GetBlob(h, read, 8, 6, 4, part), kOk);
    EXPECT_EQ(part, "line");
    EXPECT_EQ(cursors().GetBlob(h, read, 8, 19, 100, part), kBlobShortRead);
    EXPECT_EQ(part, "line");
    EXPECT_EQ(cursors().GetBlob(h, read, 8, 100, 1, part), kBlobOffsetBeyondEnd);
    EXPECT_TRUE(part.empty());
    // Appending at an offset keeps what lies before it; truncating cuts.
    ASSERT_EQ(cursors().PutBlob(h, read, 8, 5, " words"), kOk);
    ASSERT_EQ(cursors().GetBlob(h, read, 8, 0, 100, part), kBlobShortRead);
    EXPECT_EQ(part, "first words");
    ASSERT_EQ(cursors().TruncateBlob(h, read, 8, 3), kOk);
    ASSERT_EQ(cursors().ModifyRecord(h, read, true), kOk);
    std::string again;
    ASSERT_EQ(cursors().GetRecord(h, false, &again, nullptr), kOk);
    ASSERT_EQ(cursors().GetBlob(h, again, 8, 0, 3, part), kOk);
    EXPECT_EQ(part, "fir");
    EXPECT_EQ(cursors().PutBlob(h, again, 8, 4, "x"), kBlobOffsetBeyondEnd);
}

TEST_F(TablesCursorFields, BinaryMemoOnTheFirstRecordMakesABinaryColumn) {
    std::string bytes("ab\0cd", 5);
    ASSERT_EQ(cursors().PutBlob(h, record, 8, 0, bytes), kOk);
    ASSERT_EQ(cursors().AppendRecord(h, record), kOk);
    cursors().CloseCursor(h);
    static const std::string fox = "SXFOX";
    ASSERT_EQ(cursors().OpenTable(db, "values.dbf", &fox, "", "", false, false, h), kOk);
    std::vector<FieldDesc> logical;
    ASSERT_EQ(cursors().GetFieldDescs(h, logical), kOk);
    EXPECT_EQ(logical[7].subtype, fsBinary);
    std::string read, part;
    ASSERT_EQ(cursors().SetToBegin(h), kOk);
    ASSERT_EQ(cursors().GetNextRecord(h, false, &read, nullptr), kOk);
    ASSERT_EQ(cursors().GetBlob(h, read, 8, 0, 5, part), kOk);
    EXPECT_EQ(part, bytes);
}

TEST_F(TablesCursorFields, UnknownFieldTypeIsReportedAndSkipped) {
    makeTable("odd.dbf", {field("NAME", 'C', 4), field("ODD", 'Q', 3)});
    int odd = 0;
    static const std::string fox = "SXFOX";
    reports.clear();
    ASSERT_EQ(cursors().OpenTable(db, "odd.dbf", &fox, "", "", false, false, odd), kOk);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], "Invalid Field Type Q");
    std::vector<FieldDesc> logical;
    ASSERT_EQ(cursors().GetFieldDescs(odd, logical), kOk);
    EXPECT_EQ(logical[1].type, fldInvalid);
    std::string rec;
    ASSERT_EQ(cursors().InitRecord(odd, rec), kOk);
    const FieldValue v = std::string("abc");
    EXPECT_EQ(cursors().PutField(odd, 2, rec, &v), kOk);  // nothing written
    EXPECT_EQ(rec, std::string(rec.size(), ' '));
    cursors().CloseCursor(odd);
}
