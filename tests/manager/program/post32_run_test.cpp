// The real post32: started on a data folder from tarsel-mkdata, ended by a
// termination signal as a desktop session ends it, and open beside postp and
// posta while they run the road against real POP3 and SMTP servers.
#include "fixtures/processor_home.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>

#include "platform/ini_file.h"
#include "tables/apollo_env.h"
#include "tables/table.h"
#include "tests/support/home/opens_exclusively.h"
#include "tests/support/dovecot_server.h"
#include "tests/support/processor_run.h"
#include "tests/support/smtp_server.h"
#include "tests/support/temp_dir.h"

namespace managertest {
namespace {

using test_support::waitUntilHeld;

class Post32Run : public ::testing::Test {
protected:
    void SetUp() override
    {
#if defined(TARSEL_POST32)
        post32 = TARSEL_POST32;
#else
        GTEST_FAIL() << "post32 is not built";
#endif
    }
    std::string post32;
};

TEST_F(Post32Run, ATerminationSignalClosesItAsExitDoes)
{
    test_support::TempDir dir{"p32"};
    const std::string config = dir.path() + "/config/";
    const std::string home = dir.path() + "/home/";
    std::filesystem::create_directories(config);
#if defined(TARSEL_TARSEL_MKDATA)
    ASSERT_EQ(std::system((std::string(TARSEL_TARSEL_MKDATA) + " " + home + " >/dev/null").c_str()), 0);
#endif
    for (int signal : {SIGTERM, SIGINT}) {
        std::filesystem::remove(config + "tarsel.ini");
        const pid_t pid = test_support::startProcessor(post32, {}, config, home);
        ASSERT_TRUE(waitUntilHeld(pid, "actions.DBF"));
        EXPECT_FALSE(test_support::OpensExclusively(home, "NODES.DBF"));
        ::kill(pid, signal);
        const auto exit = test_support::waitForProgram(pid, std::chrono::seconds(60));
        ASSERT_TRUE(exit.exited) << "signal " << signal;
        EXPECT_EQ(exit.status, 0);
        const platform::IniFile ini(config + "tarsel.ini");
        EXPECT_EQ(ini.ReadString("Folders", "Messages", ""), home + "messages/");
        EXPECT_EQ(ini.ReadString("Folders", "Agents", ""), home + "agents/");
        EXPECT_EQ(ini.ReadString("Folders", "DataBase", ""), home);
        EXPECT_FALSE(ini.ValueExists("Folders", "Templates"));
        EXPECT_TRUE(test_support::OpensExclusively(home, "NODES.DBF"));
    }
}

TEST_F(Post32Run, OpenWhileTheProcessorsRunTheRoad)
{
#if !defined(TARSEL_POSTP) || !defined(TARSEL_POSTA)
    GTEST_FAIL() << "postp and posta are not built";
#else
    ASSERT_TRUE(test_support::DovecotServer::available());
    ASSERT_TRUE(test_support::SmtpServer::available());
    test_support::DovecotServer pop;
    test_support::SmtpServer smtp;
    pop.addMessage("From: Ann <ann@example.org>\r\nTo: desk@example.org\r\nSubject: Order 12\r\n"
                   "Message-ID: <o12@example.org>\r\nDate: Mon, 9 Mar 2026 10:00:00 +0000\r\n\r\nPlease ship.\r\n");
    agents_test::ProcessorHome home;
    home.addAccount({"acct", "Help Desk", "desk@example.org", pop.address(), smtp.address()}, true);
    home.writeAgent("Sender", {{"Subject", "contains", "order"}}, {{"FORWARD TO", "boss@example.org", ""}});
    home.attachAgent("acct", "Sender");

    const pid_t manager = home.start(post32, {});
    ASSERT_TRUE(waitUntilHeld(manager, "actions.DBF"));
    ASSERT_TRUE(home.run(TARSEL_POSTP).exited);
    ASSERT_TRUE(home.run(TARSEL_POSTA).exited);
    EXPECT_EQ(pop.messageCount(), 0u) << home.log("postproc.log");
    EXPECT_EQ(home.receivedFiles("acct").size(), 1u);
    EXPECT_EQ(home.rows("received.dbf", {"SUBJECT"}).size(), 1u);
    EXPECT_TRUE(smtp.waitForMessages(1)) << home.log("agentproc.log");

    ::kill(manager, SIGTERM);
    const auto exit = home.wait(manager, std::chrono::seconds(60));
    EXPECT_TRUE(exit.exited);
    EXPECT_EQ(exit.status, 0);
#endif
}

}  // namespace
}  // namespace managertest
