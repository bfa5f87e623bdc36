// The last row of a table as an appending program killed part way leaves
// it: the next open, or the next append of an open already there, gives it
// the keys it lacks, and takes away the keys of the blank row it was once,
// so that every tag holds it once under its own keys.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "../xbase_test_support.h"
#include "xbase/cdx/cdx_index.h"
#include "xbase/dbf_file.h"

namespace {

using xbasetest::fieldDef;

class SxLastRow : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = xbasetest::makeTempFolder("xbase_lastrow");
        table_ = dir_ + "/l.dbf";
        xbasetest::resetEngine(2);
        ASSERT_TRUE(xbasetest::createIndexedTable(table_, {fieldDef("NAME", 'C', 12), fieldDef("N", 'N', 6)},
                                                  {{"NAME", "NAME"}, {"N", "STR(N,6)"}, {"UNAME", "UPPER(NAME)", true}}));
    }
    void TearDown() override {
        sx_CloseAll();
        std::filesystem::remove_all(dir_);
    }

    // Appends a blank row straight to the table, as an append does before
    // its keys, and gives it the blank key of tag NAME only, as an append
    // killed after its first tag's page leaves it.
    void blankRowKeyedInNameOnly() {
        xbase::DbfFile dbf(table_, xbase::OpenMode::Shared);
        const uint32_t recNo = dbf.appendRecord(std::string(static_cast<std::size_t>(dbf.recordLength()), ' '),
                                                dbf.recordCount());
        auto index = xbase::CdxIndex::open(dir_ + "/l.cdx", false);
        const auto spec = index->tag("NAME");
        ASSERT_TRUE(spec);
        index->insert("NAME", {xbase::encodeKey(xbase::Value::character(""), *spec), recNo});
    }

    // Every tag walks every row once.
    void expectEveryRowOnceInEveryTag() {
        std::vector<int> all;
        for (int r = 1; r <= sx_RecCount(); ++r) all.push_back(r);
        for (const char* tag : {"NAME", "N", "UNAME"}) {
            sx_SetOrder(sx_TagArea(tag));
            std::vector<int> walked = xbasetest::walkForward();
            std::sort(walked.begin(), walked.end());
            EXPECT_EQ(walked, all) << "tag " << tag;
        }
        sx_SetOrder(0);
    }

    std::string dir_;
    std::string table_;
};

TEST_F(SxLastRow, ABlankRowKeyedInSomeTagsOnlyTakesTheOthersAtTheNextOpenOrAppend) {
    const int before = sx_Use(table_.c_str(), "BEFORE", SX_SHARED, SX_DRIVER_FOX);
    ASSERT_GT(before, 0) << xbase::lastErrorText();
    blankRowKeyedInNameOnly();
    ASSERT_GT(sx_Use(table_.c_str(), "NEXT", SX_SHARED, SX_DRIVER_FOX), 0) << xbase::lastErrorText();
    ASSERT_EQ(sx_RecCount(), 1);
    expectEveryRowOnceInEveryTag();

    // The open that was there before finds the next such row at its append.
    blankRowKeyedInNameOnly();
    sx_Select(before);
    ASSERT_EQ(sx_AppendEx(), SX_APPEND_OK) << xbase::lastErrorText();
    ASSERT_TRUE(sx_Replace("NAME", SX_R_CHAR, "third"));
    ASSERT_TRUE(sx_Unlock(0));
    ASSERT_EQ(sx_RecCount(), 3);
    expectEveryRowOnceInEveryTag();
    sx_SetOrder(sx_TagArea("UNAME"));   // descending: the blank rows last
    EXPECT_EQ(xbasetest::walkForward(), (std::vector<int>{3, 2, 1}));
}

TEST_F(SxLastRow, ARowWrittenAfterItsAppendWithoutItsKeysIsFoundOnceUnderItsOwnKeys) {
    // An appender that left its blank row keyed, and was killed when the
    // row's record had reached the table but its keys had not.
    ASSERT_EQ(xbasetest::exitStatusOfChild([&] {
                  if (sx_Use(table_.c_str(), nullptr, SX_SHARED, SX_DRIVER_FOX) == 0) return 10;
                  return sx_AppendEx() == SX_APPEND_OK ? 0 : 11;
              }),
              0);
    {
        xbase::DbfFile dbf(table_, xbase::OpenMode::Shared);
        std::string record(static_cast<std::size_t>(dbf.recordLength()), ' ');
        record.replace(1, 4, "late");
        record.replace(13, 6, "     7");
        dbf.writeRecord(1, record);
    }
    ASSERT_GT(sx_Use(table_.c_str(), nullptr, SX_SHARED, SX_DRIVER_FOX), 0) << xbase::lastErrorText();
    expectEveryRowOnceInEveryTag();
    sx_SetOrder(sx_TagArea("NAME"));
    EXPECT_TRUE(sx_Seek("late"));
    sx_SetOrder(sx_TagArea("N"));
    EXPECT_TRUE(sx_Seek("     7"));
    EXPECT_FALSE(sx_Seek("     0"));   // the blank row's key went with it
}

}  // namespace
