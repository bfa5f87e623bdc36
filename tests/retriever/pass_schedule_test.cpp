// The polling schedule of a pass: which accounts are due, how their next
// time moves on, passes counted, and accounts with rows that do not convert.
#include "fixtures/pass_fixture.h"

#include "tests/support/dovecot_server.h"
#include "tests/support/loopback.h"

#include <gtest/gtest.h>

namespace retriever_test {
namespace {

class PassSchedule : public PassFixture {
protected:
    void SetUp() override
    {
        if (!test_support::DovecotServer::available())
            GTEST_SKIP() << "dovecot is not installed";
        server = std::make_unique<test_support::DovecotServer>();
    }

    void at(int day, int hour, int minute, int second = 0)
    {
        now = platform::EncodeDate(2026, 12, day) + platform::EncodeTime(hour, minute, second);
    }

    AccountRow account(const std::string& id, const std::string& nextTime)
    {
        return {.id = id, .name = "name " + id, .popAddress = server->address(), .nextTime = nextTime};
    }

    std::unique_ptr<test_support::DovecotServer> server;
};

TEST_F(PassSchedule, DueExactlyNowIsPolledAndMovesOnByItsInterval)
{
    addAccount(account("due", "10:00"));
    addAccount(account("later", "10:01"));
    at(9, 10, 0);

    pass->ProcessMail();

    EXPECT_TRUE(host.logged("name due -- retrieving mail"));
    EXPECT_FALSE(host.logged("name later -- retrieving mail"));
    EXPECT_EQ(accountField("due", "LASTDATE"), "12/09/26");
    EXPECT_EQ(accountField("due", "LASTTIME"), "10:00");
    EXPECT_EQ(accountField("due", "NEXTDATE"), "12/09/26");
    EXPECT_EQ(accountField("due", "NEXTTIME"), "10:10");
    EXPECT_EQ(accountField("later", "NEXTTIME"), "10:01");
}

TEST_F(PassSchedule, IntervalPastMidnightMovesTheDate)
{
    AccountRow late = account("late", "23:50");
    late.freqVal = "90";
    addAccount(late);
    at(9, 23, 50, 3);

    pass->ProcessMail();

    EXPECT_EQ(accountField("late", "NEXTDATE"), "12/10/26");
    EXPECT_EQ(accountField("late", "NEXTTIME"), "01:20");
    EXPECT_EQ(accountField("late", "LASTTIME"), "23:50");
}

TEST_F(PassSchedule, DueAccountsArePolledInTableOrder)
{
    addAccount(account("b", "09:00"));
    addAccount(account("a", "08:00"));
    at(9, 10, 0);

    pass->ProcessMail();

    const int first = host.logIndex("name b -- retrieving mail");
    const int second = host.logIndex("name a -- retrieving mail");
    ASSERT_GE(first, 0);
    EXPECT_GT(second, first);
    EXPECT_EQ(host.node, "");
    EXPECT_EQ(host.progress, 0);
}

TEST_F(PassSchedule, PassesAreCountedWhetherOrNotAnythingWasDue)
{
    addAccount(account("future", "23:00"));
    at(9, 10, 0);
    pass->ProcessMail();
    pass->ProcessMail();
    EXPECT_EQ(pass->ScanPasses(), 2);
    EXPECT_EQ(host.scanPasses, 2);
    EXPECT_EQ(host.timerEnabled, 2);
    EXPECT_TRUE(host.log.empty());

    // Switched off during the pass: counted, but the timer stays off.
    host.processing = false;
    pass->ProcessMail();
    EXPECT_EQ(host.scanPasses, 3);
    EXPECT_EQ(host.timerEnabled, 2);
}

TEST_F(PassSchedule, AccountWithRowsThatDoNotConvertIsSkippedAndThePassGoesOn)
{
    test_support::DovecotServer untouched;
    untouched.addMessage(MailText("<keep@x>", "keep"));
    server->addMessage(MailText("<get@x>", "get"));

    AccountRow noTime = account("notime", "");
    AccountRow noInterval = account("nointerval", "09:00");
    noInterval.freqVal = "";
    AccountRow badRule = account("badrule", "09:00");
    badRule.popAddress = untouched.address();
    addAccount(noTime);
    addAccount(noInterval);
    addAccount(badRule);
    addAccount(account("good", "09:00"));
    addRule({"badrule", "Big", "G", "", "50 KB", "Y", "Y"});
    addRule({"good", "All", "A", "", "", "Y", "Y"});
    at(9, 10, 0);

    pass->ProcessMail();

    ASSERT_EQ(host.errors.size(), 3u);
    EXPECT_EQ(host.errors[0], "name notime -- '12/09/26 ' is not a valid date and time");
    EXPECT_EQ(host.errors[1], "name nointerval -- '' is not a valid integer value");
    EXPECT_EQ(host.errors[2], "name badrule -- '50 KB' is not a valid integer value");
    EXPECT_EQ(pass->ScanPasses(), 1);
    // The bad interval leaves the row as it was; the bad restriction is met
    // after the schedule moved on, before any session was opened.
    EXPECT_EQ(accountField("nointerval", "NEXTTIME"), "09:00");
    EXPECT_EQ(accountField("nointerval", "LASTTIME"), "");
    EXPECT_EQ(accountField("badrule", "NEXTTIME"), "10:10");
    EXPECT_EQ(untouched.messageCount(), 1u);
    EXPECT_NE(server->log().find("Login"), std::string::npos) << server->log();
    EXPECT_EQ(untouched.log().find("Login"), std::string::npos) << untouched.log();
    EXPECT_EQ(pendingFiles("good"), (std::vector<std::string>{"-get@x-.eml"}));
    EXPECT_EQ(server->messageCount(), 0u);
    EXPECT_FALSE(pop.Connected());
}

TEST_F(PassSchedule, FailedConnectionEndsThePassButKeepsTheAdvance)
{
    AccountRow dead = account("dead", "09:00");
    dead.popAddress = test_support::refusedLoopbackAddress();
    addAccount(dead);
    addAccount(account("next", "09:00"));
    at(9, 10, 0);

    EXPECT_ANY_THROW(pass->ProcessMail());

    EXPECT_EQ(accountField("dead", "NEXTTIME"), "10:10");
    EXPECT_EQ(accountField("next", "NEXTTIME"), "09:00");
    EXPECT_EQ(pass->ScanPasses(), 0);
    EXPECT_EQ(host.timerEnabled, 0);
}

}  // namespace
}  // namespace retriever_test
