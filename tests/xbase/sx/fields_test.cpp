// Field values through sx_Replace and the getters, memos and blobs.

#include <cstring>

#include "sx_test_support.h"

namespace {

using sxtest::EngineTest;
using sxtest::fieldDef;

class SxFields : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        ASSERT_GT(makeTable("f.dbf", {fieldDef("NAME", 'C', 8), fieldDef("PRICE", 'N', 7, 3), fieldDef("QTY", 'N', 4),
                                     fieldDef("BORN", 'D', 8), fieldDef("OK", 'L', 1), fieldDef("NOTES", 'M', 10)}),
                  0)
            << xbase::lastErrorText();
        ASSERT_EQ(sx_AppendEx(), SX_APPEND_OK);
    }
};

TEST_F(SxFields, TextIsPaddedAndCutOnACharacterBoundary) {
    ASSERT_TRUE(sx_Replace("NAME", SX_R_CHAR, "abc"));
    EXPECT_EQ(sx_GetString("NAME"), "abc     ");
    EXPECT_EQ(sx_GetTrimString("name"), "abc");
    ASSERT_TRUE(sx_Replace("NAME", SX_R_CHAR, "abcdefg\xC3\xA9z"));  // the two-byte letter would be split at 8
    EXPECT_EQ(sx_GetString("NAME"), "abcdefg ");
    EXPECT_FALSE(sx_Replace("NOSUCH", SX_R_CHAR, "x"));
    EXPECT_EQ(xbase::lastErrorCode(), 1008);
}

TEST_F(SxFields, NumbersDropDecimalsToFitAndFailWhenTheyCannot) {
    double v = 1234.567;
    ASSERT_TRUE(sx_Replace("PRICE", SX_R_DOUBLE, &v));
    EXPECT_EQ(sx_GetString("PRICE"), "1234.57");
    v = 12345678.9;
    EXPECT_FALSE(sx_Replace("PRICE", SX_R_DOUBLE, &v));
    EXPECT_EQ(sx_GetString("PRICE"), "1234.57");  // unchanged
    v = -12;
    ASSERT_TRUE(sx_Replace("QTY", SX_R_DOUBLE, &v));
    EXPECT_EQ(sx_GetString("QTY"), " -12");
    EXPECT_FALSE(sx_Replace("QTY", SX_R_CHAR, "99999"));
    ASSERT_TRUE(sx_Replace("QTY", SX_R_CHAR, "42"));
    const std::string doubled = sx_EvalString("QTY * 2");
    EXPECT_EQ(doubled.substr(doubled.find_first_not_of(' ')), "84");
    EXPECT_EQ(sx_EvalTest("QTY"), SX_EVAL_NUMERIC);
}

TEST_F(SxFields, DatesFollowFormatCenturyAndEpoch) {
    ASSERT_TRUE(sx_Replace("BORN", SX_R_DATESTR, "12/31/30"));
    EXPECT_EQ(sx_GetString("BORN"), "19301231");
    sx_SetEpoch(1950);
    ASSERT_TRUE(sx_Replace("BORN", SX_R_DATESTR, "12/31/30"));
    EXPECT_EQ(sx_GetString("BORN"), "20301231");
    sx_SetDateFormat(SX_DATE_GERMAN);
    sx_SetCentury(-1);
    EXPECT_EQ(sx_GetDateString("BORN"), "31.12.2030");
    ASSERT_TRUE(sx_Replace("BORN", SX_R_DATESTR, "01.02.1999"));
    EXPECT_EQ(sx_GetString("BORN"), "19990201");
    EXPECT_FALSE(sx_Replace("BORN", SX_R_DATESTR, "31.02.1999"));
    EXPECT_EQ(sx_GetString("BORN"), "19990201");
    EXPECT_FALSE(sx_Empty("BORN"));
    ASSERT_TRUE(sx_Replace("BORN", SX_R_DATESTR, ""));
    EXPECT_TRUE(sx_Empty("BORN"));
}

TEST_F(SxFields, LogicalsAndEmptiness) {
    EXPECT_TRUE(sx_Empty("OK"));
    const bool yes = true;
    ASSERT_TRUE(sx_Replace("OK", SX_R_LOGICAL, &yes));
    EXPECT_TRUE(sx_GetLogical("OK"));
    EXPECT_EQ(sx_GetString("OK"), "T");
    EXPECT_TRUE(sx_EvalLogical("OK .AND. EMPTY(NAME)"));
    EXPECT_TRUE(sx_Empty("NOTES"));
    EXPECT_TRUE(sx_Empty("QTY"));
}

TEST_F(SxFields, MemoTextAndBinaryBlobs) {
    ASSERT_TRUE(sx_Replace("NOTES", SX_R_MEMO, "first line\r\nsecond line"));
    char* memo = sx_GetMemo("NOTES", 0);
    ASSERT_NE(memo, nullptr);
    EXPECT_STREQ(memo, "first line\r\nsecond line");
    sx_MemDealloc(memo);
    EXPECT_EQ(sx_GetBlobLength("NOTES"), 23);
    // Blob bytes with zeros inside go to the buffer; sx_PutRecord posts them.
    const char bytes[] = {'a', 0, 'b', 0, 'c'};
    ASSERT_TRUE(sx_PutBlob("NOTES", bytes, 5));
    std::string rec(static_cast<std::size_t>(sx_RecSize()), ' ');
    sx_GetRecord(rec.data());
    ASSERT_TRUE(sx_PutRecord(rec.data()));
    sx_Go(1);
    char back[8] = {};
    EXPECT_EQ(sx_GetBlob("NOTES", back), 5);
    EXPECT_EQ(std::memcmp(back, bytes, 5), 0);
    // Replacing a memo never reuses the old blocks: the old reference still reads.
    ASSERT_TRUE(sx_Replace("NOTES", SX_R_MEMO, "short"));
    sx_GetRecord(rec.data());
    ASSERT_TRUE(sx_Replace("NOTES", SX_R_MEMO, "another"));
    ASSERT_TRUE(sx_PutRecord(rec.data()));
    EXPECT_EQ(sx_GetString("NOTES"), "short");
    ASSERT_TRUE(sx_Replace("NOTES", SX_R_MEMO, ""));
    EXPECT_TRUE(sx_Empty("NOTES"));
}

TEST_F(SxFields, AnExclusiveOpenPutsNewMemosRightAfterThePackedOnes) {
    ASSERT_TRUE(sx_Replace("NOTES", SX_R_MEMO, "kept"));
    ASSERT_TRUE(sx_Close());
    ASSERT_GT(sx_Use(path("f.dbf").c_str(), nullptr, SX_EXCLUSIVE, SX_DRIVER_FOX), 0) << xbase::lastErrorText();
    ASSERT_EQ(sx_AppendEx(), SX_APPEND_OK);
    ASSERT_TRUE(sx_Replace("NOTES", SX_R_MEMO, std::string(300, 'x').c_str()));
    ASSERT_TRUE(sx_Delete());
    ASSERT_TRUE(sx_Pack()) << xbase::lastErrorText();
    const std::string fpt = path("f.fpt");
    const auto packed = std::filesystem::file_size(fpt);
    unsigned char header[8] = {};
    std::ifstream(fpt, std::ios::binary).read(reinterpret_cast<char*>(header), 8);
    const unsigned blockSize = unsigned(header[6]) << 8 | header[7];
    sx_Go(1);
    ASSERT_TRUE(sx_Replace("NOTES", SX_R_MEMO, "after"));
    EXPECT_EQ(std::filesystem::file_size(fpt), packed + blockSize);
    EXPECT_EQ(sx_GetString("NOTES"), "after");
}

TEST_F(SxFields, FieldDescriptions) {
    EXPECT_EQ(sx_FieldCount(), 6);
    EXPECT_EQ(sx_FieldName(2), "PRICE");
    EXPECT_EQ(sx_FieldName(7), "");
    EXPECT_EQ(sx_FieldNum("born"), 4);
    EXPECT_EQ(sx_FieldNum("nope"), 0);
    EXPECT_EQ(sx_FieldType("NOTES"), 'M');
    EXPECT_EQ(sx_FieldWidth("PRICE"), 7);
    EXPECT_EQ(sx_FieldDecimals("PRICE"), 3);
    EXPECT_EQ(sx_FieldOffset("PRICE"), 9);
    EXPECT_EQ(sx_RecSize(), 1 + 8 + 7 + 4 + 8 + 1 + 10);
    EXPECT_EQ(sx_SysProp(SX_SP_FIELD_EXTERNAL, 1), 0);
}

TEST_F(SxFields, RecordBufferAddressIsTheEnginesRecord) {
    ASSERT_TRUE(sx_Replace("NAME", SX_R_CHAR, "mine"));
    auto* buf = reinterpret_cast<char*>(sx_SysProp(SX_SP_RECORD_BUFFER, 0));
    ASSERT_NE(buf, nullptr);
    EXPECT_EQ(std::string(buf + 1, 4), "mine");
    // A caller's record copied in is what the getters and expressions see.
    const std::string saved(buf, static_cast<std::size_t>(sx_RecSize()));
    std::memcpy(buf + 1, "other   ", 8);
    EXPECT_EQ(sx_GetTrimString("NAME"), "other");
    EXPECT_EQ(sx_EvalString("UPPER(NAME)"), "OTHER   ");
    std::memcpy(buf, saved.data(), saved.size());
    EXPECT_EQ(sx_GetTrimString("NAME"), "mine");
}

}  // namespace
