// The real programs: mail goes from a POP3 mailbox through postp and posta
// to replies and forwards on an SMTP server, received rows, received copies
// and history rows; posta on its timer with debug lines, closed by an agent;
// replies sent on the timer; and a posta killed in the middle of a pass that
// loses no message.
#include "fixtures/agent_fixture.h"
#include "fixtures/processor_home.h"

#include "platform/files.h"
#include "store/table_layouts.h"
#include "tests/support/dovecot_server.h"
#include "tests/support/scripted_server.h"
#include "tests/support/smtp_server.h"

#include <gtest/gtest.h>

#include <csignal>
#include <set>
#include <sys/wait.h>
#include <thread>
#include <utility>

namespace agents_test {
namespace {

using Names = std::vector<std::string>;
using Rows = std::vector<std::vector<std::string>>;

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class PostaRun : public ::testing::Test {
protected:
    void SetUp() override
    {
#if defined(TARSEL_POSTA)
        posta = TARSEL_POSTA;
#else
        GTEST_SKIP() << "posta is not built";
#endif
#if defined(TARSEL_POSTP)
        postp = TARSEL_POSTP;
#endif
    }

    template <typename Done>
    static void waitUntil(Done done)
    {
        for (int i = 0; i < 30000 && !done(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    ProcessorHome home;
    std::string posta, postp;
};

TEST_F(PostaRun, FromMailboxToRepliesForwardsAndFiledMessages)
{
    if (postp.empty())
        GTEST_SKIP() << "postp is not built";
    if (!test_support::DovecotServer::available() || !test_support::SmtpServer::available())
        GTEST_SKIP() << "dovecot or aiosmtpd is not installed";
    test_support::DovecotServer pop;
    test_support::SmtpServer smtp;
    pop.addMessage(MailText("<order-1@shop.example>", "Order 17", {"Please ship.", "ORDER=17"}));
    pop.addMessage(MailText("", "urgent: disk full", {"The server is down.", "urgent"},
                            "Cc: carol@example.org\r\n"));
    pop.addMessage(MailText("<news@example.org>", "News", {"Nothing new."}));
    // Messages stay on the server: they must not come back at the next poll.
    home.addAccount({"acct", "Help Desk", "desk@example.org", pop.address(), smtp.address()}, false);

    const std::string tpl = home.folder() + "/order-reply.eml";
    test_support::writeFile(tpl, "From: x@y\r\nSubject: Your order\r\n\r\n"
                                 "Dear <<REPLYHEADER~FROMNAME>>,\r\n"
                                 "order <<REPLYFIELD~ORDER>> is noted\r\n"
                                 "by <<SYSTEM~CURRENTNODE>>.\r\n");
    home.writeAgent("Replier", {{"Subject", "contains", "order"}}, {{"AUTO-REPLY", tpl, ""}});
    home.writeAgent("Escalate", {{"<Body>", "contains", "URGENT"}}, {{"FORWARD TO", "boss@example.org", ""}});
    home.attachAgent("acct", "Replier");
    home.attachAgent("acct", "Escalate");

    ASSERT_TRUE(home.run(postp).exited);
    ASSERT_EQ(home.pendingFiles("acct").size(), 3u);
    const ProgramExit run = home.run(posta);
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.status, 0);

    EXPECT_TRUE(home.pendingFiles("acct").empty());
    ASSERT_TRUE(smtp.waitForMessages(2));
    const auto sent = smtp.messages();
    ASSERT_EQ(sent.size(), 2u);
    const auto& reply = has(sent[0].data, "X-TarselAuto-Reply: True") ? sent[0] : sent[1];
    const auto& forward = &reply == &sent[0] ? sent[1] : sent[0];
    EXPECT_EQ(reply.mailFrom, "desk@example.org");
    EXPECT_EQ(reply.recipients, Names{"ann@example.org"});
    EXPECT_TRUE(has(reply.data, "Dear Ann Lee,\r\norder 17 is noted\r\nby Help Desk.\r\n")) << reply.data;
    EXPECT_TRUE(has(forward.data, "X-TarselForward: True\r\n"));
    EXPECT_EQ(forward.recipients, Names{"boss@example.org"});
    EXPECT_TRUE(has(forward.data, "Forwarded Message:  Originally from: Ann Lee ann@example.org\r\n"));

    const Rows received = home.rows(store::kReceivedTable, {"MESSAGE_ID", "LINK_ID", "SUBJECT", "FILENAME"});
    ASSERT_EQ(received.size(), 3u);
    std::set<std::string> keys;
    for (const auto& row : received) {
        keys.insert(row[0]);
        EXPECT_EQ(row[1], "acct");
        EXPECT_TRUE(platform::FileExists(home.receivedFolder("acct") + row[3])) << row[3];
    }
    EXPECT_EQ(keys, (std::set<std::string>{"<order-1@shop.example>", "20261208093000urgen", "<news@example.org>"}));
    EXPECT_EQ(home.receivedFiles("acct").size(), 3u);

    const Rows history = home.rows(store::kActionsTable, {"ACTION", "NODE_ID", "MESSAGE_ID"});
    ASSERT_EQ(history.size(), 2u);
    std::set<std::string> actions{history[0][0], history[1][0]};
    EXPECT_EQ(actions, (std::set<std::string>{"AutoReply Generated, SUBJECT: Your order",
                                              "Message Forwarded to: boss@example.org"}));
    const std::string log = home.log("agentproc.log");
    for (const char* line : {"Running in single pass mode.", " - Processing Agent Replier",
                             " - Processing Agent Escalate", "Agent Auto-Replying with Your order"})
        EXPECT_TRUE(has(log, line)) << line;
    EXPECT_FALSE(has(log, "Error-"));

    // The next polls find every message already received.
    ASSERT_TRUE(home.run(postp).exited);
    EXPECT_TRUE(home.pendingFiles("acct").empty());
    EXPECT_EQ(pop.messageCount(), 3u);
    ASSERT_TRUE(home.run(posta).exited);
    EXPECT_EQ(smtp.messageCount(), 2u);
    EXPECT_EQ(home.rows(store::kReceivedTable, {"MESSAGE_ID"}).size(), 3u);
}

TEST_F(PostaRun, TimerModeWithDebugLinesEndsWhenAnAgentClosesIt)
{
    home.addAccount({"acct", "Desk", "desk@example.org", "", ""});
    home.writeAgent("Closer", {Always()}, {{"CLOSE TARSEL", "", ""}});
    home.attachAgent("acct", "Closer");
    home.addPending("acct", "a.eml", MailText("<a@x>", "first"));
    home.addPending("acct", "b.eml", MailText("<b@x>", "second"));

    const ProgramExit run = home.wait(home.start(posta, {"/debug"}), std::chrono::seconds(60));

    ASSERT_TRUE(run.exited) << "posta did not close itself";
    // The pass in which the agent asked ran to its end.
    EXPECT_TRUE(home.pendingFiles("acct").empty());
    EXPECT_EQ(home.rows(store::kActionsTable, {"ACTION"}).size(), 2u);
    const std::string log = home.log("agentproc.log");
    EXPECT_TRUE(has(log, "Running in debug mode."));
    EXPECT_TRUE(has(log, "DEBUGMESSAGE -- MARK1"));
    EXPECT_TRUE(has(log, "DEBUGMESSAGE -- MARK3"));
}

// A postp that stays running keeps its tables open for days: the received
// row that posta writes meanwhile must keep the message it left on the
// server from being fetched again at the next poll.
TEST_F(PostaRun, RunningPostpSeesWhatPostaFiledMeanwhile)
{
    if (postp.empty())
        GTEST_SKIP() << "postp is not built";
    if (!test_support::DovecotServer::available())
        GTEST_SKIP() << "dovecot is not installed";
    test_support::DovecotServer pop;
    pop.addMessage(MailText("<one@x>", "first"));
    pop.addMessage(MailText("", "no id"));
    home.addAccount({"acct", "Desk", "desk@example.org", pop.address(), ""}, false);

    // Stopped also when an assertion ends the test early.
    struct Running {
        pid_t pid;
        ~Running()
        {
            if (pid <= 0)
                return;
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    } running{home.start(postp, {})};
    waitUntil([&] { return home.pendingFiles("acct").size() == 2; });
    ASSERT_EQ(home.pendingFiles("acct").size(), 2u);
    ASSERT_TRUE(home.run(posta).exited);
    ASSERT_TRUE(home.pendingFiles("acct").empty());

    // A message that arrives later shows that a later poll has been made;
    // the messages before it in the mailbox would have been fetched first.
    pop.addMessage(MailText("<three@x>", "third"));
    waitUntil([&] { return !home.pendingFiles("acct").empty(); });
    ::kill(running.pid, SIGTERM);
    EXPECT_TRUE(home.wait(std::exchange(running.pid, 0)).exited);
    EXPECT_EQ(home.pendingFiles("acct"), Names{"-three@x-.eml"});
    EXPECT_EQ(pop.messageCount(), 3u);
}

// The socket binding is loaded at start-up for every pass, not only for the
// pass a single-pass run makes.
TEST_F(PostaRun, OnItsTimerRepliesGoOutThroughTheSmtpServer)
{
    if (!test_support::SmtpServer::available())
        GTEST_SKIP() << "aiosmtpd is not installed";
    test_support::SmtpServer smtp;
    home.addAccount({"acct", "Desk", "desk@example.org", "", smtp.address()});
    const std::string tpl = home.folder() + "/reply.eml";
    test_support::writeFile(tpl, "From: x@y\r\nSubject: Thanks\r\n\r\nNoted.\r\n");
    home.writeAgent("Replier", {Always()}, {{"AUTO-REPLY", tpl, ""}, {"CLOSE TARSEL", "", ""}});
    home.attachAgent("acct", "Replier");
    home.addPending("acct", "a.eml", MailText("<a@x>", "first"));

    const ProgramExit run = home.wait(home.start(posta, {}), std::chrono::seconds(120));

    ASSERT_TRUE(run.exited) << "posta did not close itself";
    ASSERT_TRUE(smtp.waitForMessages(1));
    EXPECT_EQ(smtp.messages().at(0).recipients, Names{"ann@example.org"});
    EXPECT_FALSE(has(home.log("agentproc.log"), "Could not send outgoing mail"));
}

TEST_F(PostaRun, KilledInTheMiddleOfAPassLosesNoMessage)
{
    constexpr int kMessages = 200;
    home.addAccount({"acct", "Desk", "desk@example.org", "", ""});
    home.writeAgent("Noter", {Always()}, {{"RUN AN TARSELSCRIPT", "note.tss", ""}});
    home.attachAgent("acct", "Noter");
    Names all;
    for (int n = 0; n < kMessages; ++n) {
        const std::string name = "m" + std::to_string(1000 + n) + ".eml";
        home.addPending("acct", name, MailText("<m" + std::to_string(n) + "@x>", "number " + std::to_string(n)));
        all.push_back(name);
    }

    // On its timer posta never ends by itself, so the kill always finds it running.
    const pid_t pid = home.start(posta, {});
    waitUntil([&] { return home.receivedFiles("acct").size() >= 10; });
    ::kill(pid, SIGKILL);
    ASSERT_FALSE(home.wait(pid).exited) << "posta ended before it could be killed";

    std::set<std::string> found;
    for (const std::string& name : home.pendingFiles("acct"))
        found.insert(name);
    for (const std::string& name : home.receivedFiles("acct"))
        found.insert(name);
    EXPECT_EQ(found.size(), static_cast<std::size_t>(kMessages));

    ASSERT_TRUE(home.run(posta).exited);
    EXPECT_TRUE(home.pendingFiles("acct").empty());
    EXPECT_EQ(home.receivedFiles("acct"), all);
    std::set<std::string> filed;
    for (const auto& row : home.rows(store::kReceivedTable, {"FILENAME"}))
        filed.insert(row[0]);
    EXPECT_EQ(filed.size(), static_cast<std::size_t>(kMessages));
    EXPECT_EQ(home.rows(store::kReceivedTable, {"FILENAME"}).size(), static_cast<std::size_t>(kMessages));
}

// Killed while the server has the reply but has not yet said it took it:
// no history row claims the reply, and the restart sends it once more and
// records it once.
TEST_F(PostaRun, KilledDuringTheSmtpExchangeWritesNoHistoryRowAndTheRestartSendsOnce)
{
    test_support::ScriptedServer smtp;
    auto session = [&smtp] {
        smtp.send("220 ready\r\n").reply("250 hello").reply("250 sender ok").reply("250 recipient ok")
            .reply("354 go on").readData();
    };
    session();
    smtp.waitForClientClose().acceptNext();  // never accepts the first
    session();
    smtp.send("250 queued\r\n").reply("221 bye");
    smtp.start();
    home.addAccount({"acct", "Desk", "desk@example.org", "", smtp.address()});
    const std::string tpl = home.folder() + "/reply.eml";
    test_support::writeFile(tpl, "From: x@y\r\nSubject: Thanks\r\n\r\nNoted.\r\n");
    home.writeAgent("Replier", {Always()}, {{"AUTO-REPLY", tpl, ""}});
    home.attachAgent("acct", "Replier");
    home.addPending("acct", "a.eml", MailText("<a@x>", "first"));

    const pid_t pid = home.start(posta, {});
    waitUntil([&] { return !smtp.blocks().empty(); });
    ::kill(pid, SIGKILL);
    ASSERT_FALSE(home.wait(pid).exited) << "posta ended before it could be killed";
    ASSERT_EQ(smtp.blocks().size(), 1u);
    EXPECT_TRUE(home.rows(store::kActionsTable, {"ACTION"}).empty());
    EXPECT_EQ(home.pendingFiles("acct"), Names{"a.eml"});

    ASSERT_TRUE(home.run(posta).exited);
    ASSERT_TRUE(smtp.waitDone()) << smtp.error();
    EXPECT_EQ(smtp.blocks().size(), 2u);
    EXPECT_EQ(home.rows(store::kActionsTable, {"ACTION"}), (Rows{{"AutoReply Generated, SUBJECT: Thanks"}}));
    EXPECT_TRUE(home.pendingFiles("acct").empty());
    EXPECT_EQ(home.receivedFiles("acct"), Names{"a.eml"});
    // The killed run's line is in the log as well as the restart's.
    const std::string log = home.log("agentproc.log");
    int replies = 0;
    for (auto at = log.find("Agent Auto-Replying with Thanks"); at != std::string::npos;
         at = log.find("Agent Auto-Replying with Thanks", at + 1))
        ++replies;
    EXPECT_EQ(replies, 2);
}

}  // namespace
}  // namespace agents_test
