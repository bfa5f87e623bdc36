// The real postp and posta on a real POP3 server holding different
// messages with equal keys: equal Message-IDs, and no Message-ID with equal
// sender, date and subject. Whatever the order of polls and passes, and a
// postp killed in the middle of its transfer, every message is filed once,
// nothing waits, and the server is left empty with nothing deleted unsaved.
#include "fixtures/real_programs_run.h"

#include "mail/message.h"
#include "store/table_layouts.h"
#include "tests/support/dovecot_server.h"

#include <gtest/gtest.h>

#include <csignal>
#include <map>
#include <set>
#include <thread>

namespace agents_test {
namespace {

// Message n of a group: the headers of its group, a body of its own.
std::string GroupMessage(const std::string& messageId, int n, std::size_t lines = 4)
{
    std::string text = "From: Cron Daemon <root@example.org>\r\nTo: desk@example.org\r\n";
    if (!messageId.empty())
        text += "Message-ID: " + messageId + "\r\n";
    text += "Date: Tue, 08 Dec 2026 03:00:00 +0100\r\nSubject: Disk report\r\n\r\nnumber " + std::to_string(n) +
            "\r\n";
    for (std::size_t line = 0; line < lines; ++line)
        text += "disk usage line " + std::to_string(line) + " of report " + std::to_string(n) + "\r\n";
    return text;
}

class SharedKeyRun : public RealProgramsRun {
protected:
    void SetUp() override
    {
        if (const std::string missing = missingForRun(); !missing.empty())
            GTEST_SKIP() << missing;
        server = std::make_unique<test_support::DovecotServer>();
        home.addAccount({"acct", "Reports", "desk@example.org", server->address(), ""});
    }

    void run(const std::string& program) { ASSERT_TRUE(home.run(program).exited) << program; }

    // How often each numbered message is filed in "In".
    std::map<std::string, int> filedNumbers()
    {
        std::map<std::string, int> numbers;
        for (const std::string& name : home.receivedFiles("acct")) {
            TmsMessage message;
            message.LoadFromFile(home.receivedFolder("acct") + name);
            ++numbers[message.Body().empty() ? "(empty)" : message.Body().front()];
        }
        return numbers;
    }

    void expectEachFiledOnce(int messages)
    {
        std::map<std::string, int> expected;
        for (int n = 0; n < messages; ++n)
            expected["number " + std::to_string(n)] = 1;
        EXPECT_EQ(filedNumbers(), expected);
        EXPECT_TRUE(home.pendingFiles("acct").empty());
        EXPECT_EQ(server->messageCount(), 0u);
        const auto rows = home.rows(store::kReceivedTable, {"MESSAGE_ID"});
        EXPECT_EQ(rows.size(), static_cast<std::size_t>(messages));
        std::set<std::string> keys;
        for (const auto& row : rows)
            keys.insert(row[0]);
        EXPECT_EQ(keys.size(), rows.size()) << "two received rows share a key";
    }

    std::unique_ptr<test_support::DovecotServer> server;
};

TEST_F(SharedKeyRun, EveryMessageIsFiledOnceWhateverTheOrderOfPollsAndPasses)
{
    server->addMessage(GroupMessage("<report@example.org>", 0));
    server->addMessage(GroupMessage("", 1));
    run(postp);
    run(posta);
    // The second of each pair arrives after the first was filed.
    server->addMessage(GroupMessage("<report@example.org>", 2));
    server->addMessage(GroupMessage("", 3));
    run(postp);
    run(postp);
    server->addMessage(GroupMessage("<report@example.org>", 4));
    server->addMessage(GroupMessage("", 5));
    run(posta);
    run(postp);
    run(posta);
    run(postp);
    run(posta);

    expectEachFiledOnce(6);
    const std::string log = home.log("postproc.log");
    EXPECT_NE(log.find("has the key of another message -- saved as "), std::string::npos);
    EXPECT_EQ(log.find("Error-"), std::string::npos);
}

// Killed after some messages were fetched and deleted, before QUIT: the
// server keeps them all. posta files what was saved; the next poll deletes
// those and fetches the others, each group member kept apart.
TEST_F(SharedKeyRun, KilledInTheMiddleOfATransferEveryMessageIsStillFiledOnce)
{
    constexpr int kMessages = 120;
    for (int n = 0; n < kMessages; ++n)
        server->addMessage(GroupMessage(n % 2 == 0 ? "<report-" + std::to_string(n % 8) + "@example.org>" : "", n,
                                        400));

    const pid_t pid = home.start(postp, {});
    for (int wait = 0; wait < 6000 && home.pendingFiles("acct").size() < 10; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ::kill(pid, SIGKILL);
    ASSERT_FALSE(home.wait(pid).exited) << "postp ended before it could be killed";
    EXPECT_EQ(server->messageCount(), static_cast<std::size_t>(kMessages));

    const std::size_t saved = home.pendingFiles("acct").size();
    run(posta);
    run(postp);
    run(posta);

    expectEachFiledOnce(kMessages);
    // What the killed run saved is deleted by the next one, not fetched again.
    const std::string log = home.log("postproc.log");
    std::size_t deleted = 0;
    for (auto at = log.find("already retrieved -- deleting it from the server"); at != std::string::npos;
         at = log.find("already retrieved -- deleting it from the server", at + 1))
        ++deleted;
    EXPECT_EQ(deleted, saved);
}

}  // namespace
}  // namespace agents_test
