// Engine-wide settings and the property codes the table layer relies on.

#include "sx_test_support.h"

namespace {

using sxtest::EngineTest;

class SxSettings : public EngineTest {};

TEST_F(SxSettings, SeekSettingPairsReadAndSwap) {
    EXPECT_EQ(sx_SysProp(SX_SP_GET_SOFTSEEK, 0), 0);
    EXPECT_EQ(sx_SysProp(SX_SP_SET_SOFTSEEK, 1), 0);
    EXPECT_EQ(sx_SysProp(SX_SP_GET_SOFTSEEK, 0), 1);
    EXPECT_EQ(sx_SysProp(SX_SP_SET_EXACT, 1), 0);
    EXPECT_EQ(sx_SysProp(SX_SP_GET_EXACT, 0), 1);
    ASSERT_GT(makeTable("t.dbf"), 0);
    appendRow("ALPHA", 1);
    appendRow("GAMMA", 2);
    ASSERT_GT(sx_IndexTag(nullptr, "NAME", "NAME", 0, 0, nullptr), 0);
    EXPECT_FALSE(sx_Seek("BETA"));  // soft seek on: stays on the next key
    EXPECT_EQ(sx_RecNo(), 2);
    EXPECT_FALSE(sx_Seek("ALPH"));  // exact on: a part of a key does not match
    sx_SysProp(SX_SP_SET_EXACT, 0);
    sx_SysProp(SX_SP_SET_SOFTSEEK, 0);
    EXPECT_TRUE(sx_Seek("ALPH"));
}

TEST_F(SxSettings, EpochAnswersThePreviousValue) {
    EXPECT_EQ(sx_SetEpoch(1950), 1900);
    EXPECT_EQ(sx_SetEpoch(1900), 1950);
    EXPECT_EQ(sx_EvalString("DTOC(CTOD(\"01/01/49\"))").size(), 8u);
    sx_SetCentury(-1);
    EXPECT_EQ(sx_EvalString("DTOC(CTOD(\"01/01/49\"))"), "01/01/1949");
}

TEST_F(SxSettings, AreaAndOrderProperties) {
    const int area = makeTable("t.dbf");
    ASSERT_GT(area, 0);
    EXPECT_EQ(sx_SysProp(SX_SP_AREA_IN_USE, area), 1);
    EXPECT_EQ(sx_SysProp(SX_SP_AREA_IN_USE, area + 1), 0);
    EXPECT_EQ(sx_SysProp(SX_SP_TAG_NAMES, 0), 1);
    EXPECT_EQ(sx_SysProp(SX_SP_ORDER_COUNT, 0), 0);
    EXPECT_EQ(sx_SysProp(SX_SP_HIDES_RECORDS, 0), 0);
    sx_SetDeleted(-1);
    EXPECT_EQ(sx_SysProp(SX_SP_HIDES_RECORDS, 0), 1);
    EXPECT_EQ(sx_SysProp(SX_SP_REFRESH, 0), 1);
    EXPECT_EQ(sx_SysProp(SX_SP_BLOB_TYPE, 0), 0);
    EXPECT_EQ(sx_SysProp(SX_SP_ERROR_LEVEL, 0), 0);
    EXPECT_EQ(sx_SysProp(4242, 0), 0);
    EXPECT_FALSE(sx_Version().empty());
    EXPECT_EQ(sx_SysProp(SX_SP_RELEASE, 0), 1);
    EXPECT_EQ(sx_SysProp(SX_SP_AREA_IN_USE, area), 0);
}

TEST_F(SxSettings, MemoBlockSizeAppliesToNewMemoFiles) {
    sx_SetMemoBlockSize(512);
    xbase::createTable(path("m.dbf"), {sxtest::fieldDef("NOTES", 'M', 10)});
    sx_SetMemoBlockSize(64);
    ASSERT_GT(sx_Use(path("m.dbf").c_str(), nullptr, SX_SHARED, SX_DRIVER_FOX), 0);
    ASSERT_EQ(sx_AppendEx(), SX_APPEND_OK);
    ASSERT_TRUE(sx_Replace("NOTES", SX_R_MEMO, "x"));
    sx_CloseAll();
    std::ifstream in(path("m.fpt"), std::ios::binary);
    const std::string m(std::istreambuf_iterator<char>(in), {});
    EXPECT_EQ(m.size(), 1024u);
    EXPECT_EQ(static_cast<unsigned char>(m[6]) * 256 + static_cast<unsigned char>(m[7]), 512);
    EXPECT_EQ(m[3], '\x02');  // next free block
}

TEST_F(SxSettings, LockWaitGivesUpAfterTheTimeout) {
    sx_SetLockTimeout(1);
    const int a = makeTable("t.dbf");
    appendRow("X", 1);
    const int b = sx_Use(path("t.dbf").c_str(), "B", SX_SHARED, SX_DRIVER_FOX);
    ASSERT_GT(b, 0);
    sx_Select(a);
    ASSERT_TRUE(sx_Rlock(1));
    sx_Select(b);
    EXPECT_FALSE(sx_Rlock(1));
    EXPECT_EQ(sx_AppendEx(), SX_APPEND_OK);  // appends are not held up by record locks
}

}  // namespace
