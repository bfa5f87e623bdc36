// The POP3 clients against a real Dovecot and against scripted servers for
// the replies Dovecot never gives.

#include "mail/net/net_errors.h"
#include "mail/net/pop3_client.h"
#include "mail/net/pop3_list_client.h"
#include "mail/net/pop3_unique_ids.h"
#include "mail/net/reply_numbers.h"
#include "tests/support/dovecot_server.h"
#include "tests/support/scripted_server.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

using test_support::DovecotServer;
using test_support::ScriptedServer;

namespace {

std::string message(int n, const std::string& body = "Hello.\n")
{
    return "From: Sender <sender@example.com>\nTo: tester@example.com\nSubject: Message " + std::to_string(n) +
           "\nMessage-ID: <" + std::to_string(n) + "@example.com>\n\n" + body;
}

std::string withCrLf(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

class NetPopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        pop.SetWinsockLoaded(true);
        pop.UserName = "tester";
        pop.Password = "secret";
        pop.SetTimeOut(10);
        pop.OnUserMessageSave = [this](TagSocket&, int num, std::stringstream& contents) {
            saved.emplace_back(num, contents.str());
        };
    }

    void useDovecot(DovecotServer& server)
    {
        pop.SetServer(server.address());
        pop.UserName = server.user();
        pop.Password = server.password();
    }

    // Greeting, USER, PASS and a STAT answered with the given reply.
    static void login(ScriptedServer& server, const std::string& stat = "+OK 0 0")
    {
        server.send("+OK ready\r\n").reply("+OK").reply("+OK logged in").reply(stat);
    }

    // LIST and TOP of one message.
    static void info(ScriptedServer& server, int size, const std::string& headers)
    {
        server.reply("+OK 1 " + std::to_string(size)).reply("+OK").send(headers + "\r\nfirst body line\r\n.\r\n");
    }

    TmsRemotePOP pop;
    std::vector<std::pair<int, std::string>> saved;
};

TEST_F(NetPopTest, FetchesAndDeletesTheMarkedMessagesFromDovecot)
{
    if (!DovecotServer::available())
        GTEST_SKIP() << "Dovecot is not installed";
    DovecotServer server;
    std::string dotted = message(1, "A line.\n.\n..two dots\n.x\nEnd.\n");
    server.addMessage(dotted);
    server.addMessage(message(2));
    server.addMessage(message(3));
    useDovecot(server);
    pop.KeepConnected = true;
    std::vector<std::string> events;
    pop.OnUpdatingInfo = [&](TagSocket&) { events.push_back("updating"); };
    pop.OnNextInfoUpdated = [&](TagSocket&, int n) { events.push_back("info " + std::to_string(n)); };
    pop.OnInfoUpdated = [&](TagSocket&) { events.push_back("updated"); };
    pop.OnRetrieving = [&](TagSocket&, int n) { events.push_back("retrieving " + std::to_string(n)); };
    pop.OnRetrieved = [&](TagSocket&, int n) { events.push_back("retrieved " + std::to_string(n)); };
    pop.OnDeleting = [&](TagSocket&, int n) { events.push_back("deleting " + std::to_string(n)); };

    pop.UpdateInfo();
    ASSERT_EQ(pop.RemoteInfo().Count(), 3);
    EXPECT_EQ(pop.MessageCount(), 3);
    EXPECT_TRUE(pop.Connected());
    int total = 0;
    for (int i = 0; i < 3; ++i) {
        const TmsRemoteInfoItem& item = pop.RemoteInfo().Items(i);
        EXPECT_EQ(item.Headers().GetFieldValue("Subject"), "Message " + std::to_string(i + 1));
        EXPECT_EQ(item.Headers().Count(), 4);  // header lines only, no body
        total += item.Size;
    }
    EXPECT_EQ(pop.RemoteInfo().Items(0).Size, static_cast<int>(withCrLf(dotted).size()));
    EXPECT_EQ(pop.MailboxSize(), total);

    pop.MarkForRetrieve(0);
    pop.MarkForDelete(0);
    pop.MarkForRetrieve(1);
    pop.MarkForDelete(2);
    pop.TransferData();
    EXPECT_FALSE(pop.Connected());

    ASSERT_EQ(saved.size(), 2u);
    EXPECT_EQ(saved[0].first, 0);
    EXPECT_EQ(saved[0].second, withCrLf(dotted));  // every dot as the sender wrote it
    EXPECT_EQ(saved[1].second, withCrLf(message(2)));
    EXPECT_EQ(events, (std::vector<std::string>{"updating", "info 0", "info 1", "info 2", "updated", "retrieving 0",
                                                "retrieved 0", "deleting 0", "retrieving 1", "retrieved 1",
                                                "deleting 2"}));
    ASSERT_EQ(server.messageCount(), 1u);
    EXPECT_NE(server.messages()[0].find("Subject: Message 2"), std::string::npos);
}

TEST_F(NetPopTest, EmptyMailboxGivesEmptyInfoAndTransfersNothing)
{
    if (!DovecotServer::available())
        GTEST_SKIP() << "Dovecot is not installed";
    DovecotServer server;
    useDovecot(server);
    int updating = 0, updated = 0, transferring = 0;
    pop.OnUpdatingInfo = [&](TagSocket&) { ++updating; };
    pop.OnInfoUpdated = [&](TagSocket&) { ++updated; };
    pop.OnTransferringData = [&](TagSocket&) { ++transferring; };
    pop.UpdateInfo();
    EXPECT_EQ(pop.RemoteInfo().Count(), 0);
    EXPECT_EQ(pop.MessageCount(), 0);
    EXPECT_EQ(updating, 1);
    EXPECT_EQ(updated, 1);
    EXPECT_FALSE(pop.Connected());
    pop.TransferData();
    EXPECT_EQ(transferring, 0);
    EXPECT_FALSE(pop.Connected());
}

TEST_F(NetPopTest, MessagesShiftedSinceTheScanAreNotTransferred)
{
    if (!DovecotServer::available())
        GTEST_SKIP() << "Dovecot is not installed";
    DovecotServer server;
    server.addMessage(message(1));
    server.addMessage(message(2));
    useDovecot(server);
    pop.UpdateInfo();  // disconnects afterwards
    ASSERT_EQ(pop.RemoteInfo().Count(), 2);
    // Another client takes the first message: numbers shift.
    std::vector<std::string> left = server.messages();
    server.clearMailbox();
    server.addMessage(left[1]);
    pop.MarkForDelete(0);
    try {
        pop.TransferData();
        FAIL() << "a shifted message was handled";
    } catch (const ESocketError& error) {
        EXPECT_STREQ(error.what(), "IDs are different");
    }
    pop.Disconnect();
    EXPECT_EQ(server.messageCount(), 1u);
}

TEST_F(NetPopTest, WrongPasswordIsAServerErrorAndLeavesTheCallerToClose)
{
    if (!DovecotServer::available())
        GTEST_SKIP() << "Dovecot is not installed";
    DovecotServer server;
    useDovecot(server);
    pop.Password = "wrong";
    EXPECT_THROW(pop.Connect(), EServerError);
    EXPECT_TRUE(pop.Connected());  // the caller decides
    pop.Disconnect();
    EXPECT_FALSE(pop.Connected());
}

TEST_F(NetPopTest, WithoutHandlerMessagesAreSavedAsNumberedFiles)
{
    if (!DovecotServer::available())
        GTEST_SKIP() << "Dovecot is not installed";
    DovecotServer server;
    server.addMessage(message(1));
    server.addMessage(message(2));
    useDovecot(server);
    test_support::TempDir folder("pop");
    pop.OnUserMessageSave = nullptr;
    pop.SetMessageDirectory(folder.path());
    EXPECT_EQ(pop.MessageDirectory(), folder.path() + "/");
    pop.UpdateInfo();
    pop.MarkForRetrieve(1);
    pop.TransferData();
    EXPECT_EQ(test_support::readFile(folder.file("msg_1.eml")), withCrLf(message(2)));
    EXPECT_FALSE(std::filesystem::exists(folder.file("msg_0.eml")));
}

TEST_F(NetPopTest, ListClientLoadsFetchedMessagesIntoItsList)
{
    if (!DovecotServer::available())
        GTEST_SKIP() << "Dovecot is not installed";
    DovecotServer server;
    std::string big(120 * 1024, 'x');
    for (std::size_t i = 70; i < big.size(); i += 71)
        big[i] = '\n';
    server.addMessage(message(1, big + "\n"));
    TmsPOP client;
    client.SetWinsockLoaded(true);
    client.SetServer(server.address());
    client.UserName = server.user();
    client.Password = server.password();
    int lastPerc = -1;
    client.OnProgress = [&](TagSocket&, int perc, long long) { lastPerc = perc; };
    client.Connect();
    client.RetrieveMessage(0);
    client.Disconnect();
    ASSERT_EQ(client.MessageList().Count(), 1);
    EXPECT_EQ(client.MessageList().Items(0).Subject(), "Message 1");
    EXPECT_GT(lastPerc, 50);
    EXPECT_LE(lastPerc, 100);
}

TEST_F(NetPopTest, MissingCredentialsAreReportedBeforeConnecting)
{
    pop.SetServer(test_support::ScriptedServer().address());
    pop.UserName = "";
    try {
        pop.Connect();
        FAIL();
    } catch (const ESocketError& error) {
        EXPECT_STREQ(error.what(), "UserName property is required");
    }
    pop.UserName = "u";
    pop.Password = "";
    try {
        pop.Connect();
        FAIL();
    } catch (const ESocketError& error) {
        EXPECT_STREQ(error.what(), "Password property is required");
    }
    EXPECT_FALSE(pop.Connected());
}

TEST_F(NetPopTest, StatusReplyGivesCountAndSizeOnlyWhenBothAreThere)
{
    ScriptedServer full;
    login(full, "+OK 3 5120");
    full.waitForClientClose();
    full.start();
    pop.SetServer(full.address());
    pop.Connect();
    EXPECT_EQ(pop.MessageCount(), 3);
    EXPECT_EQ(pop.MailboxSize(), 5120);
    pop.Close();

    ScriptedServer countOnly;
    login(countOnly, "+OK 3");
    countOnly.waitForClientClose();
    countOnly.start();
    pop.SetServer(countOnly.address());
    pop.Connect();
    EXPECT_EQ(pop.MessageCount(), 3);  // kept from before
    EXPECT_EQ(pop.MailboxSize(), 5120);
    pop.Close();

    ScriptedServer garbage;
    login(garbage, "+OK three 5");
    garbage.waitForClientClose();
    garbage.start();
    pop.SetServer(garbage.address());
    EXPECT_THROW(pop.Connect(), mail::net::EConvertError);
}

TEST_F(NetPopTest, ListSizeIsTheFirstNumberAfterTheMessageNumber)
{
    EXPECT_EQ(mail::net::listedSize("+OK 2 1834"), 1834);
    EXPECT_EQ(mail::net::listedSize("+OK 2 1834 octets"), 1834);
    EXPECT_EQ(mail::net::listedSize("+OK 2  77"), 77);
    EXPECT_EQ(mail::net::listedSize("+OK 2 abc"), 0);
    EXPECT_EQ(mail::net::listedSize("+OK 2"), 0);
    EXPECT_EQ(mail::net::listedSize("+OK"), 0);
}

TEST_F(NetPopTest, VerificationRunsOncePerMarkBeforeEachAction)
{
    const std::string headers = "Subject: one\r\nMessage-ID: <a@b>\r\n";
    ScriptedServer server;
    login(server, "+OK 2 200");
    info(server, 100, headers);
    info(server, 100, "Subject: two\r\nMessage-ID: <c@d>\r\n");
    info(server, 100, headers);                                        // check before fetching
    server.reply("+OK 1 100").reply("+OK").send(headers + "\r\nbody\r\n.\r\n");  // LIST, RETR
    info(server, 100, headers);                                        // check before deleting
    server.reply("+OK deleted");
    info(server, 100, "Subject: two\r\nMessage-ID: <c@d>\r\n");        // message 2: delete only
    server.reply("+OK deleted").reply("+OK bye").waitForClientClose();
    server.start();
    pop.SetServer(server.address());
    pop.KeepConnected = true;
    pop.UpdateInfo();
    pop.MarkForRetrieve(0);
    pop.MarkForDelete(0);
    pop.MarkForDelete(1);
    pop.TransferData();
    ASSERT_TRUE(server.waitDone());
    EXPECT_EQ(server.error(), "");
    std::vector<std::string> expected = {"USER tester", "PASS secret", "STAT",   "LIST 1", "TOP 1 1",
                                         "LIST 2",      "TOP 2 1",     "LIST 1", "TOP 1 1", "LIST 1",
                                         "RETR 1",      "LIST 1",      "TOP 1 1", "DELE 1", "LIST 2",
                                         "TOP 2 1",     "DELE 2",      "QUIT"};
    EXPECT_EQ(server.lines(), expected);
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].second, headers + "\r\nbody\r\n");
}

TEST_F(NetPopTest, RefusedDeleteIsReported)
{
    const std::string headers = "Message-ID: <a@b>\r\n";
    ScriptedServer server;
    login(server, "+OK 1 100");
    info(server, 100, headers);
    info(server, 100, headers);
    server.reply("-ERR message is locked").waitForClientClose();
    server.start();
    pop.SetServer(server.address());
    pop.KeepConnected = true;
    pop.UpdateInfo();
    pop.MarkForDelete(0);
    try {
        pop.TransferData();
        FAIL() << "a refused DELE passed as done";
    } catch (const EServerError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "-ERR message is locked -- POP3 server " + server.address() + ", in its answer to DELE 1");
    }
}

TEST_F(NetPopTest, EmptyMessageAndServerClosingMidMessage)
{
    ScriptedServer server;
    login(server, "+OK 2 100");
    server.reply("+OK 1 0").reply("+OK").send(".\r\n");  // empty message
    server.reply("+OK 2 50").reply("+OK").send("Subject: cut\r\n\r\nhalf").closeConnection();
    server.start();
    pop.SetServer(server.address());
    pop.Connect();
    pop.RetrieveMessage(0);
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].second, "");
    EXPECT_THROW(pop.RetrieveMessage(1), ESocketError);
    EXPECT_EQ(saved.size(), 1u);  // the cut message is not handed on
}

TEST_F(NetPopTest, DisconnectClosesEvenWhenQuitFails)
{
    ScriptedServer server;
    login(server);
    server.reply("-ERR cannot commit").waitForClientClose();
    server.start();
    pop.SetServer(server.address());
    pop.Connect();
    EXPECT_THROW(pop.Disconnect(), EServerError);
    EXPECT_FALSE(pop.Connected());
    EXPECT_TRUE(server.waitDone());
    EXPECT_TRUE(server.clientClosed());
}

TEST_F(NetPopTest, ConnectToAnotherServerClosesTheOldSessionFirst)
{
    ScriptedServer first;
    login(first, "+OK 1 10");
    first.waitForClientClose();
    first.start();
    ScriptedServer second;
    login(second, "+OK 7 70");
    second.waitForClientClose();
    second.start();
    pop.SetServer(first.address());
    pop.Connect();
    pop.Connect();  // same server, still logged in: nothing happens
    EXPECT_EQ(pop.MessageCount(), 1);
    pop.SetServer(second.address());
    pop.Connect();
    EXPECT_EQ(pop.MessageCount(), 7);
    EXPECT_TRUE(first.waitDone());
    EXPECT_TRUE(first.clientClosed());

    // Another mailbox on the same server is another session too: the open
    // one would hand the first account's messages to the second.
    ScriptedServer shared;
    login(shared, "+OK 2 20");
    shared.acceptNext();
    login(shared, "+OK 5 50");
    shared.waitForClientClose();
    shared.start();
    pop.SetServer(shared.address());
    pop.UserName = "anna";
    pop.Connect();
    EXPECT_EQ(pop.MessageCount(), 2);
    pop.UserName = "bert";
    pop.Connect();
    EXPECT_EQ(pop.MessageCount(), 5);
    pop.Close();
    ASSERT_TRUE(shared.waitDone());
    EXPECT_EQ(shared.error(), "");
    const std::vector<std::string> lines = shared.lines();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], "USER anna");
    EXPECT_EQ(lines[3], "USER bert");
}

TEST_F(NetPopTest, HeadersWithoutMessageIdCompareByTheirCommonLines)
{
    TmsRemoteInfoItem a, b;
    a.Headers().SetText("Subject: x\r\nFrom: y\r\n");
    b.Headers().SetText("Subject: x\r\nFrom: y\r\nX-Extra: z\r\n");
    EXPECT_TRUE(TmsRemotePOP::SameMessage(a, b));
    b.Headers()[1] = "From: Y";
    EXPECT_FALSE(TmsRemotePOP::SameMessage(a, b));
    a.Headers().Add("Message-ID: <same@x>");
    b.Headers().Add("Message-ID: <same@x>");
    EXPECT_TRUE(TmsRemotePOP::SameMessage(a, b));  // the ids decide
    b.Headers()[b.Headers().Count() - 1] = "Message-ID: <SAME@x>";
    EXPECT_FALSE(TmsRemotePOP::SameMessage(a, b));
}

// The ids a server gives its messages for good: the same in every session,
// kept by the messages that stay when another is deleted.
TEST_F(NetPopTest, UniqueIdsFromDovecotNameEachMessageAcrossSessions)
{
    if (!DovecotServer::available())
        GTEST_SKIP() << "Dovecot is not installed";
    DovecotServer server;
    for (int n = 1; n <= 3; ++n)
        server.addMessage(message(n));
    useDovecot(server);
    pop.KeepConnected = true;
    auto ids = [&] {
        pop.UpdateInfo();
        pop.UpdateUniqueIds();
        std::vector<std::string> out;
        for (int i = 0; i < pop.RemoteInfo().Count(); ++i)
            out.push_back(pop.RemoteInfo().Items(i).UniqueId);
        return out;
    };
    const std::vector<std::string> first = ids();
    ASSERT_EQ(first.size(), 3u);
    for (const std::string& id : first)
        EXPECT_TRUE(mail::net::validUniqueId(id)) << id;
    EXPECT_NE(first[0], first[1]);
    EXPECT_NE(first[1], first[2]);
    pop.MarkForDelete(0);
    pop.TransferData();

    EXPECT_EQ(ids(), (std::vector<std::string>{first[1], first[2]}));
    pop.Disconnect();
}

// UIDL is optional: a refusal leaves every id empty and the session usable.
TEST_F(NetPopTest, RefusedUniqueIdsLeaveEveryIdEmpty)
{
    ScriptedServer server;
    login(server, "+OK 1 100");
    info(server, 100, "Subject: one\r\n");
    server.reply("-ERR unknown command").reply("+OK bye").waitForClientClose();
    server.start();
    pop.SetServer(server.address());
    pop.KeepConnected = true;
    pop.UpdateInfo();
    pop.RemoteInfo().Items(0).UniqueId = "stale";

    pop.UpdateUniqueIds();
    pop.Disconnect();

    EXPECT_EQ(pop.RemoteInfo().Items(0).UniqueId, "");
    ASSERT_TRUE(server.waitDone());
    EXPECT_EQ(server.error(), "");
    EXPECT_EQ(server.lines().back(), "QUIT");
}

// A listing that could name a message wrongly names it not at all.
TEST_F(NetPopTest, UniqueIdsThatMayNameAnotherMessageNameNone)
{
    ScriptedServer server;
    login(server, "+OK 3 300");
    for (int n = 1; n <= 3; ++n)
        info(server, 100, "Subject: m" + std::to_string(n) + "\r\n");
    server.reply("+OK").send("1 twice\r\n2 twice\r\n3 good-id\r\n4 beyond\r\n.\r\n").waitForClientClose();
    server.start();
    pop.SetServer(server.address());
    pop.KeepConnected = true;
    pop.UpdateInfo();
    pop.UpdateUniqueIds();
    EXPECT_EQ(pop.RemoteInfo().Items(0).UniqueId, "");
    EXPECT_EQ(pop.RemoteInfo().Items(1).UniqueId, "");
    EXPECT_EQ(pop.RemoteInfo().Items(2).UniqueId, "good-id");
    pop.Close();

    using mail::net::uniqueIdsOfListing;
    using Ids = std::vector<std::string>;
    EXPECT_EQ(uniqueIdsOfListing("1 a\n2 b\r\n", 2), (Ids{"a", "b"}));
    // A number given twice, a number out of range, no number at all.
    EXPECT_EQ(uniqueIdsOfListing("1 a\r\n1 c\r\n0 z\r\n3 y\r\nx w\r\n2 b\r\n", 2), (Ids{"", "b"}));
    EXPECT_EQ(uniqueIdsOfListing("01 a\r\n99999999999 b\r\n", 1), (Ids{"a"}));
    // Ids that are no ids: blank, inner blank, control byte, 8-bit, too long.
    const std::string tooLong(mail::net::kMaxUniqueIdBytes + 1, 'u');
    EXPECT_EQ(uniqueIdsOfListing("1 \r\n2 a b\r\n3 a\x01\r\n4 caf\xc3\xa9\r\n5 " + tooLong + "\r\n6\r\n", 6),
              Ids(6, ""));
    EXPECT_EQ(uniqueIdsOfListing("1 " + tooLong.substr(1) + "\r\n", 1), Ids{tooLong.substr(1)});
    EXPECT_EQ(uniqueIdsOfListing("", 0), Ids{});
    EXPECT_EQ(uniqueIdsOfListing("1 a\r\n", -3), Ids{});
}

}  // namespace
