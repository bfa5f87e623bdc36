#pragma once
// Shared set-up for engine tests: a private temporary folder, tables made
// in it, and the engine left clean between tests.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/xbase/xbase_test_support.h"
#include "xbase/create_table.h"
#include "xbase/sx.h"

namespace sxtest {

using xbasetest::fieldDef;

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = xbasetest::makeTempFolder("xbase_test");
        xbasetest::resetEngine(1);
    }
    void TearDown() override {
        sx_CloseAll();
        std::filesystem::remove_all(dir_);
    }

    std::string path(const std::string& name) const { return dir_ + "/" + name; }

    // Copies a file of the test data folder into the temporary folder.
    std::string copyData(const std::string& name) {
        std::filesystem::copy_file(std::string(TARSEL_TEST_DATA) + "/xbase/" + name, path(name),
                                   std::filesystem::copy_options::overwrite_existing);
        std::filesystem::permissions(path(name), std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
        return path(name);
    }

    // A table NAME C10, N N6, plus the given extra fields; opened shared.
    int makeTable(const std::string& name, std::vector<xbase::FieldDef> fields = {}) {
        if (fields.empty()) fields = {fieldDef("NAME", 'C', 10), fieldDef("N", 'N', 6)};
        xbase::createTable(path(name), fields);
        return sx_Use(path(name).c_str(), nullptr, SX_SHARED, SX_DRIVER_FOX);
    }

    void appendRow(const std::string& name, double n) {
        ASSERT_EQ(sx_AppendEx(), SX_APPEND_OK) << xbase::lastErrorText();
        ASSERT_TRUE(sx_Replace("NAME", SX_R_CHAR, name.c_str())) << xbase::lastErrorText();
        ASSERT_TRUE(sx_Replace("N", SX_R_DOUBLE, &n)) << xbase::lastErrorText();
    }

    // Record numbers met walking the current order forward from the top, or back from the bottom.
    static std::vector<int> walkForward() { return xbasetest::walkForward(); }
    static std::vector<int> walkBackward() { return xbasetest::walkBackward(); }

    std::string dir_;
};

}  // namespace sxtest
