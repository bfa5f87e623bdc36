// The real programs started as a new user starts them, with no data folder
// made: each of post32, postp and posta makes the tables, says so in its log
// and runs; several started at once on one folder end with one good set,
// made by one of them.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>

#include "tests/support/processor_run.h"
#include "tests/support/table_read_back.h"
#include "tests/support/temp_dir.h"

namespace managertest {
namespace {

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

const std::string kMade = "First start: made the empty tables in ";

// One user's settings and program folders; the data folder named in the
// settings is not made.
struct NewUser {
    explicit NewUser(const std::string& dataFolder, const std::string& name = "user") : data(dataFolder)
    {
        config = dir.path() + "/" + name + "-config/";
        home = dir.path() + "/" + name + "-home/";
        std::filesystem::create_directories(config);
        test_support::writeProcessorSettings(config, home + "messages/", home + "agents/", data);
    }
    pid_t start(const std::string& program, const std::vector<std::string>& args = {"/SINGLEPASS"}) const
    {
        return test_support::startProcessor(program, args, config, home);
    }
    std::string log(const char* name) const { return test_support::readFile(home + name); }

    test_support::TempDir dir{"fs"};
    std::string data, config, home;
};

void expectOneGoodSet(const std::string& folder)
{
    const test_support::TablesReadBack back = test_support::readTablesIndependently(folder);
    ASSERT_EQ(back.status, 0) << back.output;
    EXPECT_EQ(back.tables.size(), 10u) << back.output;
    EXPECT_EQ(back.orgs.size(), 1u) << back.output;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
}

class FirstStartRun : public ::testing::Test {
protected:
    void SetUp() override
    {
#if defined(TARSEL_POST32) && defined(TARSEL_POSTP) && defined(TARSEL_POSTA)
        post32 = TARSEL_POST32;
        postp = TARSEL_POSTP;
        posta = TARSEL_POSTA;
#else
        GTEST_FAIL() << "post32, postp or posta is not built";
#endif
    }
    test_support::TempDir dir{"fsr"};
    std::string post32, postp, posta;
};

TEST_F(FirstStartRun, EachProcessorMakesTheTablesSaysSoAndRunsItsPass)
{
    for (const auto& [program, logName, running] :
         {std::tuple{postp, "postproc.log", "Mail retriever running in single pass mode."},
          std::tuple{posta, "agentproc.log", "Running in single pass mode."}}) {
        const std::string data = dir.path() + "/" + logName + "-data/";
        NewUser user(data);
        const auto exit = test_support::waitForProgram(user.start(program), std::chrono::seconds(120));
        ASSERT_TRUE(exit.exited) << logName;
        EXPECT_EQ(exit.status, 0) << user.log(logName);
        const std::string log = user.log(logName);
        EXPECT_TRUE(has(log, kMade + data)) << log;
        EXPECT_TRUE(has(log, running)) << log;
        EXPECT_FALSE(has(log, "Error-")) << log;
        expectOneGoodSet(data);
    }
}

TEST_F(FirstStartRun, Post32MakesTheTablesAndOpensThem)
{
    const std::string data = dir.path() + "/p32-data/";
    NewUser user(data);
    const pid_t pid = user.start(post32, {});
    EXPECT_TRUE(test_support::waitUntilHeld(pid, "actions.DBF"));
    ::kill(pid, SIGTERM);
    const auto exit = test_support::waitForProgram(pid, std::chrono::seconds(60));
    ASSERT_TRUE(exit.exited);
    EXPECT_EQ(exit.status, 0);
    expectOneGoodSet(data);
}

TEST_F(FirstStartRun, ProcessorsStartedAtOnceOnOneFolderEndWithOneSetMadeByOne)
{
    for (int round = 0; round < 3; ++round) {
        const std::string data = dir.path() + "/shared" + std::to_string(round) + "/";
        std::vector<std::unique_ptr<NewUser>> users;
        std::vector<std::pair<pid_t, const char*>> runs;
        for (int n = 0; n < 4; ++n) {
            users.push_back(std::make_unique<NewUser>(data, "u" + std::to_string(n)));
            const bool retriever = n % 2 == 0;
            runs.emplace_back(users.back()->start(retriever ? postp : posta),
                              retriever ? "postproc.log" : "agentproc.log");
        }
        int said = 0;
        for (std::size_t n = 0; n < runs.size(); ++n) {
            const auto exit = test_support::waitForProgram(runs[n].first, std::chrono::seconds(120));
            const std::string log = users[n]->log(runs[n].second);
            ASSERT_TRUE(exit.exited) << log;
            EXPECT_EQ(exit.status, 0) << log;
            EXPECT_FALSE(has(log, "Error-")) << log;
            said += has(log, kMade);
        }
        EXPECT_EQ(said, 1) << "round " << round;
        expectOneGoodSet(data);
    }
}

}  // namespace
}  // namespace managertest
