// The real postp against real POP3 servers: in single-pass mode two
// accounts with their restrictions and a second pass that finds nothing new;
// on its timer an account added while it runs, and runs killed or closed in
// the middle of a transfer.
#include "fixtures/pass_fixture.h"
#include "fixtures/dropping_proxy.h"
#include "fixtures/postp_home.h"

#include "mail/message.h"
#include "platform/files.h"
#include "tests/support/dovecot_server.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <set>
#include <thread>

namespace retriever_test {
namespace {

using Names = std::vector<std::string>;

Names subjects(const test_support::DovecotServer& server)
{
    Names out;
    for (const std::string& text : server.messages()) {
        const auto at = text.find("Subject: ");
        out.push_back(text.substr(at + 9, text.find('\n', at) - at - 9));
    }
    return out;
}

int occurrences(const std::string& text, const std::string& what)
{
    int count = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

class PostpRun : public ::testing::Test {
protected:
    void SetUp() override
    {
#if defined(TARSEL_POSTP) && defined(TARSEL_MKDATA)
        if (!test_support::DovecotServer::available())
            GTEST_SKIP() << "dovecot is not installed";
        home = std::make_unique<PostpHome>(TARSEL_MKDATA, TARSEL_POSTP);
#else
        GTEST_SKIP() << "postp or the data folder maker is not built";
#endif
    }

    // Bounded; a slow machine only means the program is stopped earlier.
    void waitForPendingFiles(const std::string& accountId, std::size_t count)
    {
        for (int wait = 0; wait < 6000 && home->pendingFiles(accountId).size() < count; ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }

    // Every waiting file is a whole message; the rest are still on the server.
    void expectEveryMessageOnceWholeOrOnTheServer(const test_support::DovecotServer& server, int messages)
    {
        std::set<std::string> found;
        for (const std::string& name : home->pendingFiles("acct")) {
            TmsMessage message;
            message.LoadFromFile(home->pendingFolder("acct") + name);
            EXPECT_EQ(message.Attachments().Count(), 0) << name << " did not load whole";
            EXPECT_GE(message.Body().size(), 270u) << name;
            found.insert(message.Headers().GetFieldValue("X-Number"));
        }
        for (const std::string& text : server.messages()) {
            const auto at = text.find("X-Number: ");
            found.insert(text.substr(at + 10, text.find('\n', at) - at - 10));
        }
        EXPECT_EQ(found.size(), static_cast<std::size_t>(messages));
    }

    // A mailbox of kMessages numbered messages of 20 KB, fetched and
    // deleted by the account "acct".
    static constexpr int kMessages = 300;
    void fillBusyMailbox(test_support::DovecotServer& server)
    {
        for (int n = 0; n < kMessages; ++n)
            server.addMessage(MailText("<m" + std::to_string(n) + "@example.org>", "number " + std::to_string(n),
                                       20000, "X-Number: " + std::to_string(n) + "\r\n"));
        home->addAccount({.id = "acct", .name = "Busy", .popAddress = server.address()});
        home->addRule({"acct", "Control Restriction", "A", "", "", "Y", "Y"});
    }

    std::unique_ptr<PostpHome> home;
};

TEST_F(PostpRun, SinglePassFetchesWhatTheRestrictionsChooseAndOnlyOnce)
{
    test_support::DovecotServer homeServer;
    test_support::DovecotServer officeServer;
    homeServer.addMessage(MailText("<h1@example.org>", "hello"));
    homeServer.addMessage(MailText("", "second"));
    officeServer.addMessage(MailText("<i7@example.org>", "Invoice 7"));
    officeServer.addMessage(MailText("<big@example.org>", "big", 60000));
    officeServer.addMessage(MailText("<news@example.org>", "news"));
    home->addAccount({.id = "acct-home", .name = "Home", .popAddress = homeServer.address()});
    home->addAccount({.id = "acct-office", .name = "Office", .popAddress = officeServer.address()});
    home->addRule({"acct-home", "Control Restriction", "A", "", "", "Y", "Y"});
    home->addRule({"acct-office", "Invoices", "C", "Subject", "invoice", "Y", "N"});
    home->addRule({"acct-office", "Big", "G", "", "50000", "N", "Y"});

    const PostpExit first = home->runSinglePass();

    ASSERT_TRUE(first.exited);
    EXPECT_EQ(first.status, 0);
    EXPECT_EQ(homeServer.messageCount(), 0u);
    EXPECT_EQ(home->pendingFiles("acct-home"), (Names{"-h1@example.org-.eml", "20261208093000secon.eml"}));
    EXPECT_EQ(subjects(officeServer), (Names{"Invoice 7", "news"}));
    EXPECT_EQ(home->pendingFiles("acct-office"), (Names{"-i7@example.org-.eml"}));
    const std::string log = home->log();
    for (const char* line :
         {"Mail retriever running in single pass mode.", "Home -- retrieving mail", "Office -- retrieving mail",
          "Downloading Header 1 of 2 -- hello", "Downloading Header 3 of 3 -- news",
          "Rule Control Restriction activated for message 2", "Rule Invoices activated for message 1",
          "Rule Big activated for message 2", "Retreiving  1 of 2", "Retreiving  2 of 2", "Retreiving  1 of 3"})
        EXPECT_NE(log.find(line), std::string::npos) << line;
    EXPECT_EQ(log.find("Retreiving  2 of 3"), std::string::npos);
    EXPECT_EQ(log.find("Error-"), std::string::npos);

    const PostpExit second = home->runSinglePass();

    ASSERT_TRUE(second.exited);
    EXPECT_EQ(home->pendingFiles("acct-home").size(), 2u);
    EXPECT_EQ(home->pendingFiles("acct-office"), (Names{"-i7@example.org-.eml"}));
    EXPECT_EQ(subjects(officeServer), (Names{"Invoice 7", "news"}));
    EXPECT_EQ(occurrences(home->log(), "Retreiving  "), 3);
    EXPECT_EQ(occurrences(home->log(), "There are no messages"), 1);
}

TEST_F(PostpRun, KilledInTheMiddleOfATransferLosesNoMessage)
{
    test_support::DovecotServer server;
    fillBusyMailbox(server);

    // On its timer postp never ends by itself, so the kill always finds it
    // running, however fast or slow the machine is.
    const pid_t pid = home->start({});
    waitForPendingFiles("acct", 20);
    ::kill(pid, SIGKILL);
    const PostpExit killed = home->wait(pid);
    ASSERT_FALSE(killed.exited) << "postp ended before it could be killed";

    expectEveryMessageOnceWholeOrOnTheServer(server, kMessages);

    // The kill came after RETR and DELE but before QUIT, so the server kept
    // every message. The next pass fetches the rest and deletes those that
    // wait without fetching them again.
    const std::size_t waiting = home->pendingFiles("acct").size();
    ASSERT_TRUE(home->runSinglePass().exited);
    EXPECT_EQ(home->pendingFiles("acct").size(), static_cast<std::size_t>(kMessages));
    EXPECT_EQ(server.messageCount(), 0u);
    EXPECT_EQ(occurrences(home->log(), "already retrieved -- deleting it from the server"),
              static_cast<int>(waiting));
    // The killed run's lines are in the log too: each message fetched once,
    // and at most the one on the wire when the kill came a second time.
    const int fetches = occurrences(home->log(), "Retreiving  ");
    EXPECT_GE(fetches, kMessages);
    EXPECT_LE(fetches, kMessages + 1);
}

// The line drops after some messages were fetched and deleted: the server
// keeps them all (no QUIT), and the next poll deletes those it holds copies
// of and fetches the others, each exactly once.
TEST_F(PostpRun, ConnectionDroppedMidSessionTheNextPollDeletesWhatItFetched)
{
    test_support::DovecotServer server;
    constexpr int messages = 8;
    for (int n = 0; n < messages; ++n)
        server.addMessage(MailText("<d" + std::to_string(n) + "@example.org>", "dropped " + std::to_string(n), 2000,
                                   "X-Number: " + std::to_string(n) + "\r\n"));
    DroppingProxy proxy(server.port(), 3);
    home->addAccount({.id = "acct", .name = "Dropped", .popAddress = proxy.address()});
    home->addRule({"acct", "Control Restriction", "A", "", "", "Y", "Y"});

    ASSERT_TRUE(home->runSinglePass().exited);
    ASSERT_TRUE(proxy.dropped());
    EXPECT_NE(home->log().find("Error-"), std::string::npos);
    EXPECT_EQ(home->pendingFiles("acct").size(), 3u);
    EXPECT_EQ(server.messageCount(), static_cast<std::size_t>(messages));

    ASSERT_TRUE(home->runSinglePass().exited);
    EXPECT_EQ(server.messageCount(), 0u);
    EXPECT_EQ(home->pendingFiles("acct").size(), static_cast<std::size_t>(messages));
    EXPECT_EQ(occurrences(home->log(), "already retrieved -- deleting it from the server"), 3);
    // 3 fetched in the dropped session, 5 in the next one.
    EXPECT_EQ(occurrences(home->log(), "Retreiving  "), messages);
}

// postp runs for days with its tables open: an account and a restriction
// that the configuration manager adds meanwhile are polled without a restart.
TEST_F(PostpRun, RunningPostpPollsAnAccountAddedMeanwhile)
{
    test_support::DovecotServer first;
    test_support::DovecotServer second;
    first.addMessage(MailText("<one@example.org>", "one"));
    second.addMessage(MailText("<two@example.org>", "two"));
    home->addAccount({.id = "acct-one", .name = "One", .popAddress = first.address()});
    home->addRule({"acct-one", "All", "A", "", "", "Y", "Y"});

    const pid_t pid = home->start({});
    waitForPendingFiles("acct-one", 1);
    home->addAccount({.id = "acct-two", .name = "Two", .popAddress = second.address()});
    home->addRule({"acct-two", "All", "A", "", "", "Y", "Y"});
    waitForPendingFiles("acct-two", 1);
    // The message leaves the server only after its file is whole: wait for
    // that too (bounded) before closing.
    for (int wait = 0; wait < 6000 && second.messageCount() > 0; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ::kill(pid, SIGTERM);
    ASSERT_TRUE(home->wait(pid).exited);

    EXPECT_EQ(home->pendingFiles("acct-one"), (Names{"-one@example.org-.eml"}));
    EXPECT_EQ(home->pendingFiles("acct-two"), (Names{"-two@example.org-.eml"}));
    EXPECT_EQ(second.messageCount(), 0u);
}

// A termination signal is the tray's Close: in the middle of a transfer the
// tables close under the pass, the wait on the server gives up, and postp
// ends with its log saved and no message gone from both places.
TEST_F(PostpRun, ClosedInTheMiddleOfATransferEndsAndLosesNoMessage)
{
    test_support::DovecotServer server;
    fillBusyMailbox(server);

    const pid_t pid = home->start({});
    waitForPendingFiles("acct", 20);
    ::kill(pid, SIGTERM);
    const PostpExit closed = home->wait(pid);
    ASSERT_TRUE(closed.exited) << "postp did not end when closed during a pass";
    EXPECT_EQ(closed.status, 0);
    EXPECT_NE(home->log().find("Busy -- retrieving mail"), std::string::npos) << "the log was not saved";

    expectEveryMessageOnceWholeOrOnTheServer(server, kMessages);
    ASSERT_TRUE(home->runSinglePass().exited);
    EXPECT_EQ(home->pendingFiles("acct").size(), static_cast<std::size_t>(kMessages));
}

}  // namespace
}  // namespace retriever_test
