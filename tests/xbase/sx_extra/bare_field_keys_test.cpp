// A tag keyed on one bare field is read straight from the record: its keys
// must be the ones the expression gives, for every kind of field and value
// (blanks, negative numbers, decimals, empty dates, logicals), which the
// same field in parentheses, evaluated as an expression, shows.

#include <gtest/gtest.h>

#include "sx_extra_support.h"
#include "xbase/cdx/cdx_index.h"

namespace {

class BareFieldKeys : public sxextra::SxTest {};

TEST_F(BareFieldKeys, EachKindOfFieldKeysAsItsExpressionDoes) {
    using xbasetest::fieldDef;
    xbase::createTable(path("k.dbf"), {fieldDef("NAME", 'C', 12), fieldDef("AMOUNT", 'N', 9, 2), fieldDef("WHEN", 'D', 8),
                                       fieldDef("FLAG", 'L', 1)});
    ASSERT_GT(sx_Use(path("k.dbf").c_str(), nullptr, SX_EXCLUSIVE, SX_DRIVER_FOX), 0);
    for (const char* f : {"NAME", "AMOUNT", "WHEN", "FLAG"}) {
        ASSERT_GT(sx_IndexTag(nullptr, f, f, 0, 0, nullptr), 0) << f;
        const std::string twin = std::string(f).substr(0, 4) + "X";
        ASSERT_GT(sx_IndexTag(nullptr, twin.c_str(), (std::string("(") + f + ")").c_str(), 0, 0, nullptr), 0) << f;
    }
    sx_CloseAll();
    ASSERT_GT(sx_Use(path("k.dbf").c_str(), nullptr, SX_SHARED, SX_DRIVER_FOX), 0);
    struct Row {
        const char* name;
        const char* amount;
        const char* when;
        const char* flag;
    };
    const Row rows[] = {{"zed", "-12.5", "20240229", "T"}, {"", "", "", ""},          {"  lead", "0", "19991231", "F"},
                        {"Ann", "9999.99", "", "Y"},     {"ann", "-0.01", "20000101", "N"}};
    for (const Row& r : rows) {
        ASSERT_EQ(sx_AppendEx(), SX_APPEND_OK);
        ASSERT_TRUE(sx_Rlock(sx_RecNo()));
        ASSERT_TRUE(sx_Replace("NAME", SX_R_CHAR, r.name));
        ASSERT_TRUE(sx_Replace("AMOUNT", SX_R_CHAR, r.amount));
        ASSERT_TRUE(sx_Replace("WHEN", SX_R_CHAR, r.when));
        ASSERT_TRUE(sx_Replace("FLAG", SX_R_CHAR, r.flag));
        ASSERT_TRUE(sx_Unlock(0));
    }
    // And one row changed after its first commit.
    sx_Go(2);
    ASSERT_TRUE(sx_Replace("AMOUNT", SX_R_CHAR, "-3"));
    sx_CloseAll();

    auto index = xbase::CdxIndex::open(path("k.cdx"), true);
    const std::pair<const char*, char> kinds[] = {{"NAME", 'C'}, {"AMOUNT", 'N'}, {"WHEN", 'D'}, {"FLAG", 'L'}};
    for (const auto& [f, kind] : kinds) {
        const std::string twin = std::string(f).substr(0, 4) + "X";
        // The file does not say how short keys are padded; the expression's type does.
        index->setKeyType(f, kind);
        index->setKeyType(twin, kind);
        std::vector<xbase::IndexEntry> bare, evaluated;
        for (auto e = index->first(f); e; e = index->next(f, *e)) bare.push_back(*e);
        for (auto e = index->first(twin); e; e = index->next(twin, *e)) evaluated.push_back(*e);
        EXPECT_EQ(bare.size(), 5u) << f;
        EXPECT_EQ(bare, evaluated) << f;
    }
}

}  // namespace
