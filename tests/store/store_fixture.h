#pragma once
// A private settings folder and program folder for each test, so that the
// settings file and the default folders are the test's own.

#include <gtest/gtest.h>

#include <string>

#include "tests/support/scratch_settings.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace storetest {

using test_support::ScopedEnv;

class StoreTest : public ::testing::Test, protected test_support::ScratchSettings {
protected:
    StoreTest() : ScratchSettings("store") {}

    std::string configFile(const std::string& name) const { return dir.path() + "/config/" + name; }
};

}  // namespace storetest
