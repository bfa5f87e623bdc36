#pragma once
// A processor's world for one test: its own settings folder and program
// folder (which holds the tables, the log and the default folders), and a
// pass that counts, throws or calls back on demand.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "retriever/shell/processor_shell.h"
#include "retriever/shell/tfrm_main.h"
#include "platform/files.h"
#include "store/data_folder.h"
#include "tests/support/scratch_settings.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace shelltest {

using test_support::ScopedEnv;

struct FakeWork : shell::ProcessorWork {
    explicit FakeWork(shell::TfrmMain& m) : main(m) {}
    void LoadSockets() override { socketsLoaded = true; }
    void SetDialupService(const std::string& s) override { service = s; }
    void Pass() override
    {
        ++passes;
        if (during)
            during();
        if (!failWith.empty())
            throw std::runtime_error(failWith);
    }

    shell::TfrmMain& main;
    int passes = 0;
    bool socketsLoaded = false;
    std::string service;
    std::string failWith;
    std::function<void()> during;
};

class ShellTest : public ::testing::Test, protected test_support::ScratchSettings {
protected:
    ShellTest() : ScratchSettings("shell") {}

    void SetUp() override
    {
        store::CreateDataFolder(homeDir(), false);
        platform::ForceDirectories(dir.path() + "/config");
    }

    std::string homeDir() const { return dir.path() + "/home/"; }
    std::string settingsFile() const { return dir.path() + "/config/tarsel.ini"; }

    std::unique_ptr<shell::ProcessorShell> makeShell(const shell::ProcessorProfile& profile)
    {
        auto sh = std::make_unique<shell::ProcessorShell>(profile, [this](shell::TfrmMain& m) {
            auto w = std::make_unique<FakeWork>(m);
            work = w.get();
            return w;
        });
        return sh;
    }

    FakeWork* work = nullptr;
};

}  // namespace shelltest
