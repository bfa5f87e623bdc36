#pragma once
// A private settings folder and program folder for each test, so that the
// settings file and the default folders are the test's own.

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "tests/support/temp_dir.h"

namespace storetest {

class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv()
    {
        if (old_)
            ::setenv(name_.c_str(), old_->c_str(), 1);
        else
            ::unsetenv(name_.c_str());
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

class StoreTest : public ::testing::Test {
protected:
    test_support::TempDir dir{"store"};
    ScopedEnv config{"TARSEL_CONFIG_DIR", dir.path() + "/config"};
    ScopedEnv home{"TARSEL_HOME", dir.path() + "/home"};

    std::string configFile(const std::string& name) const { return dir.path() + "/config/" + name; }
};

}  // namespace storetest
