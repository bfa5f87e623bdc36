// One application object for the whole run, of the kind post32 has, so
// that exceptions leaving event handlers reach the main window's handler.

#include <gtest/gtest.h>

#include "platform/qt/guarded_application.h"

#include <cerrno>

namespace {

class ManagerAppEnvironment : public ::testing::Environment {
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
    ::testing::AddGlobalTestEnvironment(new ManagerAppEnvironment);

}  // namespace
