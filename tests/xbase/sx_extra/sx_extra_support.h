#pragma once
// Set-up for engine tests that drive only the sx_ calls: a private folder,
// one small table layout, the engine's settings reset between tests.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/xbase/xbase_test_support.h"
#include "xbase/create_table.h"
#include "xbase/sx.h"

namespace sxextra {

class SxTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = xbasetest::makeTempFolder("xbase_sx_extra");
        xbasetest::resetEngine(0);
    }
    void TearDown() override {
        sx_CloseAll();
        std::filesystem::remove_all(dir_);
    }

    std::string path(const std::string& name) const { return dir_ + "/" + name; }

    // NAME C10, GROUP C10, DATE D, ACTIVE L, N N4 (GROUP and DATE are also
    // names of the expression language).
    int makeTable(const std::string& name = "people.dbf", const char* alias = nullptr) {
        using xbasetest::fieldDef;
        xbase::createTable(path(name), {fieldDef("NAME", 'C', 10), fieldDef("GROUP", 'C', 10), fieldDef("DATE", 'D', 8),
                                        fieldDef("ACTIVE", 'L', 1), fieldDef("N", 'N', 4)});
        return open(name, alias);
    }

    int open(const std::string& name, const char* alias = nullptr) {
        return sx_Use(path(name).c_str(), alias, SX_SHARED, SX_DRIVER_FOX);
    }

    // Appends a row to the current area; date as "mm/dd/yy" or "".
    static void append(const std::string& name, double n = 0, bool active = true, const std::string& group = "",
                       const std::string& date = "") {
        ASSERT_EQ(sx_AppendEx(), SX_APPEND_OK) << xbase::lastErrorText();
        ASSERT_TRUE(sx_Replace("NAME", SX_R_CHAR, name.c_str())) << xbase::lastErrorText();
        ASSERT_TRUE(sx_Replace("GROUP", SX_R_CHAR, group.c_str())) << xbase::lastErrorText();
        if (!date.empty()) {
            ASSERT_TRUE(sx_Replace("DATE", SX_R_DATESTR, date.c_str())) << xbase::lastErrorText();
        }
        ASSERT_TRUE(replaceLogical("ACTIVE", active)) << xbase::lastErrorText();
        ASSERT_TRUE(replaceNumber("N", n)) << xbase::lastErrorText();
    }

    static bool replaceLogical(const char* name, bool value) { return sx_Replace(name, SX_R_LOGICAL, &value); }
    static bool replaceNumber(const char* name, double value) { return sx_Replace(name, SX_R_DOUBLE, &value); }

    static void setActive(int recNo, bool active) {
        sx_Go(recNo);
        ASSERT_TRUE(replaceLogical("ACTIVE", active)) << xbase::lastErrorText();
    }

    static void setName(int recNo, const std::string& name) {
        sx_Go(recNo);
        ASSERT_TRUE(sx_Replace("NAME", SX_R_CHAR, name.c_str())) << xbase::lastErrorText();
    }

    static int tag(const char* name, const char* key, bool unique = false, bool descending = false,
                   const char* condition = "") {
        const int order = sx_IndexTag(nullptr, name, key, unique ? 1 : 0, descending ? -1 : 0, condition);
        EXPECT_GT(order, 0) << name << ": " << xbase::lastErrorText();
        return order;
    }

    // Record numbers met walking the current order from the top, or from the bottom.
    static std::vector<int> walkForward() { return xbasetest::walkForward(); }
    static std::vector<int> walkBackward() { return xbasetest::walkBackward(); }

private:
    std::string dir_;
};

using Recs = std::vector<int>;

}  // namespace sxextra
