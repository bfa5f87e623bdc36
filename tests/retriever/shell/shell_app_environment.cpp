// One GuardedApplication (offscreen, set by the test runner) for the whole
// run, so exceptions leaving event handlers reach the shell as in the
// programs. Linked into every test executable that drives the shell.

#include <gtest/gtest.h>

#include "platform/qt/guarded_application.h"

#include <cerrno>

namespace {

class ShellAppEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        static int argc = 1;
        static char* argv[] = {program_invocation_short_name, nullptr};
        app_ = new platform::GuardedApplication(argc, argv);
    }
    void TearDown() override { delete app_; }

private:
    platform::GuardedApplication* app_ = nullptr;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new ShellAppEnvironment);

}  // namespace
