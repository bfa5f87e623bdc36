// Different messages with equal keys on a real POP3 server: equal
// Message-IDs, or no Message-ID and equal sender, date and subject. Each
// is kept once under a key of its own, none is taken for another and
// deleted unsaved, whatever polls, filings and cut sessions come between;
// with the server's unique ids and, through a relay that refuses UIDL,
// without them.
#include "fixtures/dropping_proxy.h"
#include "fixtures/pass_fixture.h"

#include "platform/files.h"
#include "retriever/core/message_keys.h"
#include "store/folder_tree.h"
#include "tables/table.h"
#include "tests/support/dovecot_server.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace retriever_test {
namespace {

using Texts = std::vector<std::string>;

// Equal in From, Date and Subject; the Message-ID only when given.
std::string Report(const std::string& messageId, const std::string& body)
{
    std::string text = "From: Cron Daemon <root@example.org>\r\nTo: desk@example.org\r\n";
    if (!messageId.empty())
        text += "Message-ID: " + messageId + "\r\n";
    return text + "Date: Tue, 08 Dec 2026 03:00:00 +0100\r\nSubject: Disk report\r\n\r\n" + body + "\r\n";
}

// Parameter: whether the server's unique ids reach the retriever.
class SharedKeys : public PassFixture, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override
    {
        if (!test_support::DovecotServer::available())
            GTEST_SKIP() << "dovecot is not installed";
        server = std::make_unique<test_support::DovecotServer>();
    }

    // The account reaches the server through a relay that cuts its first
    // session after `dropAfterDeletes` deletions (0: never).
    void addAccountBehindRelay(int dropAfterDeletes = 0)
    {
        relay = std::make_unique<DroppingProxy>(server->port(), dropAfterDeletes, !GetParam());
        addAccount({.id = "acct", .name = "home", .popAddress = relay->address()});
    }

    void deliver(const Texts& bodies, const std::string& messageId)
    {
        for (const std::string& body : bodies)
            server->addMessage(Report(messageId, body));
    }

    void poll()
    {
        now += 1.0;
        host.log.clear();
        host.errors.clear();
        pass->ProcessMail();
        EXPECT_TRUE(host.errors.empty()) << host.errors.front();
    }

    // Bodies left on the server.
    Texts serverBodies() const
    {
        Texts bodies;
        for (const std::string& text : server->messages())
            bodies.push_back(text.substr(text.find("\n\n") + 2, text.find('\n', text.find("\n\n") + 2) -
                                                                     text.find("\n\n") - 2));
        return bodies;
    }

    // Every body sent is kept here once (waiting or filed) or still on the
    // server; `kept` of them are kept.
    void expectEachOnceKeptOrOnTheServer(const Texts& sent, std::size_t kept)
    {
        const Texts here = keptBodies("acct");
        const Texts there = serverBodies();
        for (const std::string& body : sent) {
            const auto copies = std::count(here.begin(), here.end(), body + "\n");
            EXPECT_LE(copies, 1) << body << " kept twice";
            EXPECT_TRUE(copies == 1 || std::count(there.begin(), there.end(), body) == 1) << body << " is lost";
        }
        EXPECT_EQ(here.size(), kept);
    }

    std::unique_ptr<test_support::DovecotServer> server;
    std::unique_ptr<DroppingProxy> relay;
};

TEST_P(SharedKeys, EqualMessageIdsAreFetchedAndFiledOnceEach)
{
    addAccountBehindRelay();
    addRule({"acct", "Control Restriction", "A", "", "", "Y", "Y"});
    const Texts sent = {"disk at 45%", "disk at 46%"};
    deliver(sent, "<report@example.org>");

    poll();
    EXPECT_EQ(server->messageCount(), 0u);
    expectEachOnceKeptOrOnTheServer(sent, 2);
    EXPECT_TRUE(std::find(pendingFiles("acct").begin(), pendingFiles("acct").end(), "-report@example.org-.eml") !=
                pendingFiles("acct").end());

    fileAllIntoIn("acct");
    poll();
    EXPECT_TRUE(pendingFiles("acct").empty());
    expectEachOnceKeptOrOnTheServer(sent, 2);
}

// The message that came first is filed before the second arrives: the
// second must not be taken for it.
TEST_P(SharedKeys, AMessageArrivingAfterItsKeyWasFiledIsKept)
{
    addAccountBehindRelay();
    addRule({"acct", "Control Restriction", "A", "", "", "Y", "Y"});
    deliver({"disk at 45%"}, "");
    poll();
    fileAllIntoIn("acct");

    deliver({"disk at 46%"}, "");
    poll();

    EXPECT_EQ(server->messageCount(), 0u);
    expectEachOnceKeptOrOnTheServer({"disk at 45%", "disk at 46%"}, 2);
    ASSERT_EQ(pendingFiles("acct").size(), 1u);
    EXPECT_TRUE(host.logged("Message 1 has the key of another message -- saved as " + pendingFiles("acct")[0]));
    fileAllIntoIn("acct");
    poll();
    expectEachOnceKeptOrOnTheServer({"disk at 45%", "disk at 46%"}, 2);
}

// Left on the server: each poll sees both again and keeps neither twice.
TEST_P(SharedKeys, MessagesLeftOnTheServerAreKeptOnceOverManyPolls)
{
    addAccountBehindRelay();
    addRule({"acct", "Copy", "A", "", "", "Y", "N"});
    const Texts sent = {"disk at 45%", "disk at 46%", "disk at 47%"};
    deliver(sent, "");

    poll();
    poll();  // both still waiting
    fileAllIntoIn("acct");
    poll();
    fileAllIntoIn("acct");
    poll();

    EXPECT_EQ(server->messageCount(), 3u);
    EXPECT_TRUE(pendingFiles("acct").empty());
    expectEachOnceKeptOrOnTheServer(sent, 3);
    if (GetParam()) {
        // The server names its messages for good: nothing is fetched again.
        EXPECT_FALSE(host.logged("Retreiving  1 of 3"));
    }
}

// A session cut after the first message was fetched and deleted: the
// server still holds both. The next poll deletes the one kept here and
// keeps the other.
TEST_P(SharedKeys, CutSessionThenTheNextPollDeletesOnlyWhatIsKept)
{
    addAccountBehindRelay(1);
    addRule({"acct", "Control Restriction", "A", "", "", "Y", "Y"});
    const Texts sent = {"disk at 45%", "disk at 46%"};
    deliver(sent, "<report@example.org>");

    now += 1.0;
    EXPECT_ANY_THROW(pass->ProcessMail());
    ASSERT_TRUE(relay->dropped());
    EXPECT_EQ(server->messageCount(), 2u);
    expectEachOnceKeptOrOnTheServer(sent, 1);

    poll();
    EXPECT_TRUE(host.logged("Message 1 already retrieved -- deleting it from the server"));
    EXPECT_FALSE(host.logged("Message 2 already retrieved -- deleting it from the server"));
    EXPECT_EQ(server->messageCount(), 0u);
    expectEachOnceKeptOrOnTheServer(sent, 2);
}

// The same cut, when the agent processor filed the first copy before the
// next poll.
TEST_P(SharedKeys, CutSessionFiledMeanwhileStillDeletesOnlyWhatIsKept)
{
    addAccountBehindRelay(1);
    addRule({"acct", "Control Restriction", "A", "", "", "Y", "Y"});
    const Texts sent = {"disk at 45%", "disk at 46%"};
    deliver(sent, "");
    now += 1.0;
    EXPECT_ANY_THROW(pass->ProcessMail());
    fileAllIntoIn("acct");

    poll();
    fileAllIntoIn("acct");
    poll();

    EXPECT_EQ(server->messageCount(), 0u);
    EXPECT_TRUE(pendingFiles("acct").empty());
    expectEachOnceKeptOrOnTheServer(sent, 2);
}

// A data folder from before unique ids were kept: the first message was
// filed, both wait on the server. The filed one is recognised by its
// copy, the other is kept under a key of its own.
TEST_P(SharedKeys, CopiesFiledByAnEarlierVersionAreRecognised)
{
    addAccountBehindRelay();
    addRule({"acct", "Copy", "A", "", "", "Y", "N"});
    const Texts sent = {"disk at 45%", "disk at 46%"};
    deliver(sent, "");
    // What the earlier version left: the message as the writer writes it,
    // filed under its key.
    TmsMessage first;
    first.LoadFromString(Report("", sent[0]));
    const std::string name = PendingFileKey(first.Headers()) + ".eml";
    platform::ForceDirectories(pendingFolder("acct"));
    platform::WriteFileAtomic(pendingFolder("acct") + name, first.SaveToString());
    fileIntoIn("acct", name);

    poll();
    expectEachOnceKeptOrOnTheServer(sent, 2);
    fileAllIntoIn("acct");
    poll();
    EXPECT_TRUE(pendingFiles("acct").empty());
    expectEachOnceKeptOrOnTheServer(sent, 2);
    EXPECT_EQ(server->messageCount(), 2u);
}

// A received row whose copy is gone cannot tell: the message stays on the
// server, and the log says so.
TEST_P(SharedKeys, ReceivedKeyWithoutACopyLeavesTheMessageAndSaysWhy)
{
    addAccountBehindRelay();
    addRule({"acct", "Control Restriction", "A", "", "", "Y", "Y"});
    deliver({"disk at 45%"}, "<report@example.org>");
    TTable& received = tables->Table("TableReceived");
    received.Append();
    received.FieldByName("MESSAGE_ID").SetAsString("<report@example.org>");
    received.FieldByName("LINK_ID").SetAsString("acct");
    received.FieldByName("FILENAME").SetAsString("-report@example.org-.eml");
    received.Post();

    poll();

    EXPECT_EQ(server->messageCount(), 1u);
    EXPECT_TRUE(pendingFiles("acct").empty());
    EXPECT_TRUE(host.logged("Message 1 left on the server -- a received message has its key, and no copy of "
                            "that message is here to compare it with"));
}

INSTANTIATE_TEST_SUITE_P(UniqueIds, SharedKeys, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "Given" : "Refused";
                         });

}  // namespace
}  // namespace retriever_test
