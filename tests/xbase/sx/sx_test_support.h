#pragma once
// Shared set-up for engine tests: a private temporary folder, tables made
// in it, and the engine left clean between tests.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "xbase/create_table.h"
#include "xbase/sx.h"

namespace sxtest {

inline xbase::FieldDef fieldDef(const std::string& name, char type, int width, int decimals = 0) {
    xbase::FieldDef f;
    f.name = name;
    f.type = type;
    f.width = width;
    f.decimals = decimals;
    return f;
}

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/xbase_test_XXXXXX";
        dir_ = mkdtemp(pattern);
        sx_CloseAll();
        sx_SysProp(SX_SP_ERROR_LEVEL, 0);
        sx_SetDeleted(0);
        sx_SetExact(0);
        sx_SetSoftSeek(0);
        sx_SetCentury(0);
        sx_SetEpoch(1900);
        sx_SetDateFormat(SX_DATE_AMERICAN);
        sx_SetLockTimeout(1);
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

    // Record numbers met walking the current order forward from the top.
    static std::vector<int> walkForward() {
        std::vector<int> out;
        sx_GoTop();
        for (int guard = 0; !sx_Eof() && guard < 100000; ++guard) {
            out.push_back(sx_RecNo());
            sx_Skip(1);
        }
        return out;
    }
    static std::vector<int> walkBackward() {
        std::vector<int> out;
        sx_GoBottom();
        for (int guard = 0; !sx_Bof() && !sx_Eof() && guard < 100000; ++guard) {
            out.push_back(sx_RecNo());
            sx_Skip(-1);
        }
        return out;
    }

    std::string dir_;
};

}  // namespace sxtest
