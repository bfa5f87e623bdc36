#pragma once
// The manager's world for one test without a window: its own settings
// folder and program folder, a data folder made as tarsel-mkdata makes one,
// and a dial-up component on a scripted phone book.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "mail/net/tag_ras.h"
#include "platform/files.h"
#include "store/data_folder.h"
#include "store/settings.h"
#include "tests/support/scratch_settings.h"
#include "tests/support/fake_dialup_backend.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace managertest {

using test_support::ScopedEnv;

class ManagerCoreTest : public ::testing::Test, protected test_support::ScratchSettings {
protected:
    ManagerCoreTest() : ScratchSettings("mgr") {}
    std::shared_ptr<test_support::FakeDialupBackend> dialup = makeDialup();
    TagRas ras{dialup};
    std::vector<std::string> rasErrors;
    store::Settings settings;

    void SetUp() override
    {
        platform::ForceDirectories(dir.path() + "/config");
        ras.OnError = [this](TagRas&, const std::string& message) { rasErrors.push_back(message); };
    }

    std::string homeDir() const { return dir.path() + "/home/"; }
    std::string settingsText() const { return test_support::readFile(dir.path() + "/config/tarsel.ini"); }
    void writeSettings(const std::string& text) const
    {
        test_support::writeFile(dir.path() + "/config/tarsel.ini", text);
    }

    static std::shared_ptr<test_support::FakeDialupBackend> makeDialup()
    {
        auto backend = std::make_shared<test_support::FakeDialupBackend>();
        backend->phoneBook = {"Office ISP", "Backup line"};
        return backend;
    }
};

}  // namespace managertest
