// Sessions that go wrong in the middle: what is logged, what the server is
// told, and that the pass ends with the session closed.
#include "fixtures/pass_fixture.h"

#include "mail/net/net_errors.h"
#include "tests/support/scripted_server.h"

#include <gtest/gtest.h>

namespace retriever_test {
namespace {

using Lines = std::vector<std::string>;

class PassFailure : public PassFixture {
protected:
    test_support::ScriptedServer server;
};

TEST_F(PassFailure, HeaderScanFailureIsLoggedAndTheSessionAborted)
{
    server.send("+OK ready\r\n").reply("+OK").reply("+OK").reply("+OK 2 300").reply("+OK 1 100");
    server.reply("+OK").send("Subject: one\r\n\r\n.\r\n").reply("-ERR mailbox gone").waitForClientClose();
    server.start();
    addAccount({.id = "acct", .name = "flaky", .popAddress = server.address()});
    addRule({"acct", "All", "A", "", "", "Y", "Y"});

    EXPECT_THROW(pass->ProcessMail(), EServerError);

    ASSERT_TRUE(server.waitDone());
    EXPECT_EQ(server.lines(), (Lines{"USER tester", "PASS secret", "STAT", "LIST 1", "TOP 1 1", "LIST 2"}));
    EXPECT_EQ(host.errors, (Lines{"-ERR mailbox gone -- POP3 server " + server.address() + ", in its answer to LIST 2"}));
    EXPECT_TRUE(host.logged("Downloading Header 1 of 2 -- one"));
    EXPECT_FALSE(pop.Connected());
    EXPECT_EQ(pass->ScanPasses(), 0);
}

TEST_F(PassFailure, RefusedLoginEndsThePassWithoutALineOfItsOwn)
{
    server.send("+OK ready\r\n").reply("+OK").reply("-ERR wrong password").waitForClientClose();
    server.start();
    addAccount({.id = "acct", .name = "locked", .popAddress = server.address()});

    try {
        pass->ProcessMail();
        ADD_FAILURE() << "a refused log-in passed";
    } catch (const EServerError& error) {
        // The shell logs it: which server refused, and at which step.
        EXPECT_EQ(std::string(error.what()),
                  "-ERR wrong password -- POP3 server " + server.address() + ", in its answer to PASS");
    }

    EXPECT_TRUE(host.errors.empty());
    EXPECT_TRUE(host.logged("locked -- retrieving mail"));
    EXPECT_EQ(accountField("acct", "NEXTTIME"), "10:10");
    EXPECT_FALSE(pop.Connected());
}

TEST_F(PassFailure, AFetchThatTimesOutIsLoggedWithTheServerAndStepAndTheMessageStaysOnTheServer)
{
    const std::string headers = "Message-ID: <a@x>\r\nSubject: one\r\n\r\n";
    server.send("+OK ready\r\n").reply("+OK").reply("+OK").reply("+OK 1 300");
    server.reply("+OK 1 300").reply("+OK").send(headers + ".\r\n");
    // A server without unique ids refuses UIDL; the fetch goes on without them.
    server.reply("-ERR no UIDL here");
    server.reply("+OK 1 300").reply("+OK").send(headers + ".\r\n");
    server.reply("+OK 1 300").reply("+OK").send(headers + "the body begins").waitForClientClose();
    server.start();
    addAccount({.id = "acct", .name = "slow", .popAddress = server.address()});
    addRule({"acct", "All", "A", "", "", "Y", "Y"});
    pop.SetTimeOut(1);

    EXPECT_THROW(pass->ProcessMail(), ETimedOutError);

    ASSERT_TRUE(server.waitDone());
    EXPECT_EQ(host.errors,
              (Lines{"Operation timed out -- POP3 server " + server.address() + ", receiving its answer to RETR 1"}));
    EXPECT_EQ(server.lines().back(), "RETR 1");
    EXPECT_TRUE(pendingFiles("acct").empty());
    EXPECT_FALSE(pop.Connected());
}

TEST_F(PassFailure, AServerTextThatIsNoAddressIsNamedInTheErrorLine)
{
    addAccount({.id = "acct", .name = "typo", .popAddress = "127.0.0.1:70000"});
    try {
        pass->ProcessMail();
        ADD_FAILURE() << "connected";
    } catch (const ESocketError& error) {
        EXPECT_EQ(std::string(error.what()), "[10022] Invalid argument -- server 127.0.0.1:70000");
    }
    EXPECT_TRUE(host.logged("typo -- retrieving mail"));
    EXPECT_FALSE(pop.Connected());
}

}  // namespace
}  // namespace retriever_test
