#pragma once
// A fresh temporary folder whose "config" and "home" subfolders are the
// settings and program folders while the object lives (the programs find
// them through TARSEL_CONFIG_DIR and TARSEL_HOME). Fixtures derive from it
// so `dir` is made before any member that uses it.

#include <string>

#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace test_support {

struct ScratchSettings {
    explicit ScratchSettings(const std::string& prefix) : dir(prefix) {}

    TempDir dir;
    ScopedEnv config{"TARSEL_CONFIG_DIR", dir.path() + "/config"};
    ScopedEnv home{"TARSEL_HOME", dir.path() + "/home"};
};

}  // namespace test_support
