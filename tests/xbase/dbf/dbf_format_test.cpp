// The bytes the engine writes, and damaged files it must refuse cleanly.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/xbase/xbase_test_support.h"
#include "xbase/create_table.h"
#include "xbase/sx.h"

namespace {

using xbasetest::fieldDef;

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void spit(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

unsigned byteAt(const std::string& s, std::size_t i) { return static_cast<unsigned char>(s.at(i)); }
uint32_t le32(const std::string& s, std::size_t i) {
    return byteAt(s, i) | (byteAt(s, i + 1) << 8) | (byteAt(s, i + 2) << 16) | (uint32_t(byteAt(s, i + 3)) << 24);
}
uint32_t be32(const std::string& s, std::size_t i) {
    return (uint32_t(byteAt(s, i)) << 24) | (byteAt(s, i + 1) << 16) | (byteAt(s, i + 2) << 8) | byteAt(s, i + 3);
}

class SxDbfFormat : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = xbasetest::makeTempFolder("xbase_dbf");
        sx_CloseAll();
        sx_SysProp(SX_SP_ERROR_LEVEL, 0);
    }
    void TearDown() override {
        sx_CloseAll();
        std::filesystem::remove_all(dir_);
    }
    std::string path(const std::string& n) const { return dir_ + "/" + n; }
    // A plain table of three rows, closed again.
    std::string threeRows() {
        const std::string p = path("t.dbf");
        xbase::createTable(p, {fieldDef("NAME", 'C', 10)});
        EXPECT_GT(sx_Use(p.c_str(), nullptr, SX_SHARED, SX_DRIVER_FOX), 0);
        for (const char* n : {"a", "b", "c"}) {
            EXPECT_EQ(sx_AppendEx(), SX_APPEND_OK);
            sx_Replace("NAME", SX_R_CHAR, n);
        }
        sx_CloseAll();
        return p;
    }
    std::string dir_;
};

TEST_F(SxDbfFormat, HeaderOfATableWithMemo) {
    const std::string p = path("m.dbf");
    xbase::createTable(p, {fieldDef("NAME", 'C', 10), fieldDef("N", 'N', 8, 2), fieldDef("NOTES", 'M', 10)});
    EXPECT_THROW(xbase::createTable(p, {fieldDef("NAME", 'C', 10)}), std::runtime_error);
    ASSERT_GT(sx_Use(p.c_str(), nullptr, SX_SHARED, SX_DRIVER_FOX), 0);
    ASSERT_EQ(sx_AppendEx(), SX_APPEND_OK);
    ASSERT_TRUE(sx_Replace("NOTES", SX_R_MEMO, "hello"));
    ASSERT_GT(sx_IndexTag(nullptr, "NAME", "NAME", 0, 0, nullptr), 0);
    sx_CloseAll();

    const std::string d = slurp(p);
    EXPECT_EQ(byteAt(d, 0), 0xF5u);
    const std::time_t now = std::time(nullptr);
    std::tm tm {};
    localtime_r(&now, &tm);
    EXPECT_EQ(byteAt(d, 1), unsigned(tm.tm_year));
    EXPECT_EQ(byteAt(d, 2), unsigned(tm.tm_mon + 1));
    EXPECT_EQ(le32(d, 4), 1u);
    const unsigned headerLength = byteAt(d, 8) | (byteAt(d, 9) << 8);
    EXPECT_EQ(headerLength, 32u + 32 * 3 + 2);
    EXPECT_EQ(byteAt(d, 10) | (byteAt(d, 11) << 8), 1u + 10 + 8 + 10);
    EXPECT_EQ(byteAt(d, 28), 0x01u);
    EXPECT_EQ(byteAt(d, 29), 0x03u);
    EXPECT_EQ(d[headerLength - 2], '\x0D');
    EXPECT_EQ(d.size(), headerLength + 29u + 1);
    EXPECT_EQ(d.back(), '\x1A');
    EXPECT_EQ(d.substr(headerLength + 19, 10), "         8");

    const std::string m = slurp(path("m.fpt"));
    EXPECT_EQ(be32(m, 0), 8u + 1);          // next free block after one 64-byte block
    EXPECT_EQ((byteAt(m, 6) << 8) | byteAt(m, 7), 64u);
    EXPECT_EQ(be32(m, 512), 1u);           // text memo
    EXPECT_EQ(be32(m, 516), 5u);
    EXPECT_EQ(m.substr(520, 5), "hello");
    EXPECT_EQ(m.size(), 576u);
}

TEST_F(SxDbfFormat, PlainTableHasVersion3AndKeepsItsCount) {
    const std::string p = threeRows();
    const std::string d = slurp(p);
    EXPECT_EQ(byteAt(d, 0), 0x03u);
    EXPECT_EQ(le32(d, 4), 3u);
    EXPECT_EQ(byteAt(d, 28), 0u);
    EXPECT_FALSE(std::filesystem::exists(path("t.fpt")));
    ASSERT_GT(sx_Use(p.c_str(), nullptr, SX_EXCLUSIVE, SX_DRIVER_FOX), 0);
    ASSERT_TRUE(sx_Zap());
    EXPECT_EQ(sx_RecCount(), 0);
    sx_CloseAll();
    EXPECT_EQ(slurp(p).size(), 32u + 32 + 2 + 1);
}

TEST_F(SxDbfFormat, TruncatedTableIsRefused) {
    const std::string p = threeRows();
    const std::string d = slurp(p);
    spit(p, d.substr(0, d.size() - 15));
    EXPECT_EQ(sx_Use(p.c_str(), nullptr, SX_SHARED, SX_DRIVER_FOX), 0);
    EXPECT_NE(xbase::lastErrorText().find("truncated"), std::string::npos) << xbase::lastErrorText();
    spit(p, d.substr(0, 20));
    EXPECT_EQ(sx_Use(p.c_str(), nullptr, SX_SHARED, SX_DRIVER_FOX), 0);
    spit(p, "");
    EXPECT_EQ(sx_Use(p.c_str(), nullptr, SX_SHARED, SX_DRIVER_FOX), 0);
}

// The file and reason belong to the failure just reported: a later one that
// names no file leaves none from before.
TEST_F(SxDbfFormat, AFailureNamesItsFileAndReasonUntilTheNextFailure) {
    const std::string p = threeRows();
    const std::string missing = path("gone.dbf");
    EXPECT_EQ(sx_Use(missing.c_str(), nullptr, SX_SHARED, SX_DRIVER_FOX), 0);
    EXPECT_EQ(xbase::lastErrorFile(), missing);
    EXPECT_EQ(xbase::lastErrorReason(), "No such file or directory");
    spit(p, slurp(p).substr(0, 20));
    EXPECT_EQ(sx_Use(p.c_str(), nullptr, SX_SHARED, SX_DRIVER_FOX), 0);
    EXPECT_EQ(xbase::lastErrorFile(), p);
    EXPECT_EQ(xbase::lastErrorReason(), "not a table: file too short");
    EXPECT_EQ(sx_Use(p.c_str(), nullptr, SX_SHARED, 9), 0);
    EXPECT_EQ(xbase::lastErrorFile(), "");
    EXPECT_EQ(xbase::lastErrorReason(), "");
}

TEST_F(SxDbfFormat, HeadersThatLieAreRefused) {
    const std::string p = threeRows();
    const std::string good = slurp(p);
    std::string d = good;
    d[4] = '\x40';  // record count far past the data
    spit(p, d);
    EXPECT_EQ(sx_Use(p.c_str(), nullptr, SX_SHARED, SX_DRIVER_FOX), 0);
    d = good;
    d[8] = '\xFF';  // header length past the end of the file
    d[9] = '\x7F';
    spit(p, d);
    EXPECT_EQ(sx_Use(p.c_str(), nullptr, SX_SHARED, SX_DRIVER_FOX), 0);
    d = good;
    d[10] = '\x05';  // record length that the fields do not add up to
    spit(p, d);
    EXPECT_EQ(sx_Use(p.c_str(), nullptr, SX_SHARED, SX_DRIVER_FOX), 0);
    d = good;
    d[32 + 16] = '\0';  // a field of width 0
    spit(p, d);
    EXPECT_EQ(sx_Use(p.c_str(), nullptr, SX_SHARED, SX_DRIVER_FOX), 0);
    EXPECT_NE(xbase::lastErrorText().find("field"), std::string::npos) << xbase::lastErrorText();
}

TEST_F(SxDbfFormat, DamagedMemoReferenceGivesAnErrorNotACrash) {
    const std::string p = path("m.dbf");
    xbase::createTable(p, {fieldDef("NOTES", 'M', 10)});
    ASSERT_GT(sx_Use(p.c_str(), nullptr, SX_SHARED, SX_DRIVER_FOX), 0);
    ASSERT_EQ(sx_AppendEx(), SX_APPEND_OK);
    ASSERT_TRUE(sx_Replace("NOTES", SX_R_MEMO, "fine"));
    sx_CloseAll();
    std::string d = slurp(p);
    d.replace(d.size() - 11, 10, "    999999");
    spit(p, d);
    ASSERT_GT(sx_Use(p.c_str(), nullptr, SX_SHARED, SX_DRIVER_FOX), 0);
    sx_GoTop();
    EXPECT_EQ(sx_GetString("NOTES"), "");
    EXPECT_NE(xbase::lastErrorText().find("memo"), std::string::npos);
    char* memo = sx_GetMemo("NOTES", 0);
    EXPECT_EQ(memo, nullptr);
    // A memo block header whose length runs past the file.
    sx_CloseAll();
    std::string m = slurp(path("m.fpt"));
    m[516] = '\x7F';
    spit(path("m.fpt"), m);
    d.replace(d.size() - 11, 10, "         8");
    spit(p, d);
    ASSERT_GT(sx_Use(p.c_str(), nullptr, SX_SHARED, SX_DRIVER_FOX), 0);
    sx_GoTop();
    EXPECT_EQ(sx_GetBlobLength("NOTES"), 0);
}

TEST_F(SxDbfFormat, CorruptIndexIsAClearOpenError) {
    const std::string p = threeRows();
    ASSERT_GT(sx_Use(p.c_str(), nullptr, SX_SHARED, SX_DRIVER_FOX), 0);
    ASSERT_GT(sx_IndexTag(nullptr, "NAME", "NAME", 0, 0, nullptr), 0);
    sx_CloseAll();
    std::string c = slurp(path("t.cdx"));
    for (std::size_t i = 512; i < c.size(); i += 7) c[i] = static_cast<char>(i * 31);
    spit(path("t.cdx"), c);
    const int area = sx_Use(p.c_str(), nullptr, SX_SHARED, SX_DRIVER_FOX);
    if (area == 0) {
        EXPECT_FALSE(xbase::lastErrorText().empty());
        return;
    }
    // Damage only met while walking: every movement ends, cleanly.
    sx_SetOrder(1);
    sx_GoTop();
    for (int i = 0; i < 10 && !sx_Eof(); ++i) sx_Skip(1);
    sx_Seek("b");
    SUCCEED();
}

}  // namespace
