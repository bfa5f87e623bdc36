// The server's unique ids against a scripted server: an id is trusted only
// for a copy of the message's own key, and a listing the server refuses or
// garbles costs a fetch, never a message.
#include "fixtures/pass_fixture.h"

#include "platform/files.h"
#include "retriever/core/kept_ids.h"
#include "store/folder_tree.h"
#include "tests/support/scripted_server.h"

#include <gtest/gtest.h>

namespace retriever_test {
namespace {

using Names = std::vector<std::string>;

const std::string kHeaders =
    "From: Ann <ann@example.org>\r\nMessage-ID: <b@x>\r\nDate: Tue, 08 Dec 2026 09:30:00 +0100\r\nSubject: b\r\n";
const std::string kMessage = kHeaders + "\r\nbody of b\r\n";

class ServerIds : public PassFixture {
protected:
    void SetUp() override
    {
        addAccount({.id = "acct", .name = "scripted", .popAddress = server.address()});
        addRule({"acct", "Control Restriction", "A", "", "", "Y", "Y"});
    }

    // One message, listed with `uidlReply` (the reply line and its block),
    // then fetched and deleted.
    void scriptOneMessageFetchedAndDeleted(const std::string& uidlReply)
    {
        const std::string size = std::to_string(kMessage.size());
        server.send("+OK ready\r\n").reply("+OK").reply("+OK").reply("+OK 1 " + size);
        info(size);
        server.expectLine().send(uidlReply);
        info(size);
        server.reply("+OK 1 " + size).reply("+OK").send(kMessage + ".\r\n");
        info(size);
        server.reply("+OK deleted").reply("+OK bye").waitForClientClose();
        server.start();
    }

    void info(const std::string& size) { server.reply("+OK 1 " + size).reply("+OK").send(kHeaders + "\r\n.\r\n"); }

    void keep(const std::string& id, const std::string& fileName)
    {
        platform::ForceDirectories(pendingFolder("acct"));
        retriever::KeptIds(store::AccountFolder(messagesFolder, "acct") + retriever::kKeptIdsFile,
                           server.address() + "\t" + "tester")
            .Add(id, fileName);
    }

    test_support::ScriptedServer server;
};

// A server that gives a new message the id of one kept earlier (against
// the rules of the protocol) does not get it taken for that one.
TEST_F(ServerIds, AnIdNamingACopyOfAnotherKeyIsNotTrusted)
{
    keep("u1", "-a@x-.eml");
    platform::WriteFileAtomic(pendingFolder("acct") + "-a@x-.eml", "From: a@x\r\nMessage-ID: <a@x>\r\n\r\na\r\n");
    scriptOneMessageFetchedAndDeleted("+OK\r\n1 u1\r\n.\r\n");

    pass->ProcessMail();

    ASSERT_TRUE(server.waitDone());
    EXPECT_EQ(server.error(), "");
    EXPECT_TRUE(host.errors.empty()) << host.errors.front();
    EXPECT_EQ(pendingFiles("acct"), (Names{"-a@x-.eml", "-b@x-.eml"}));
    EXPECT_FALSE(host.logged("Message 1 already retrieved -- deleting it from the server"));
    EXPECT_EQ(server.lines().at(9), "RETR 1");
}

// Refused, or answered with what names no message: the message is fetched
// and kept as if the server had no ids, and nothing is listed for it.
class ServerIdListings : public ServerIds, public ::testing::WithParamInterface<std::string> {};

TEST_P(ServerIdListings, CostAFetchOnly)
{
    scriptOneMessageFetchedAndDeleted(GetParam());

    pass->ProcessMail();

    ASSERT_TRUE(server.waitDone());
    EXPECT_EQ(server.error(), "");
    EXPECT_TRUE(host.errors.empty()) << host.errors.front();
    EXPECT_EQ(pendingFiles("acct"), (Names{"-b@x-.eml"}));
    EXPECT_EQ(server.lines().back(), "QUIT");
    EXPECT_FALSE(platform::FileExists(store::AccountFolder(messagesFolder, "acct") + retriever::kKeptIdsFile));
}

INSTANTIATE_TEST_SUITE_P(Replies, ServerIdListings,
                         ::testing::Values("-ERR unknown command\r\n", "+OK\r\n1 \x01\x02\r\n.\r\n",
                                           "+OK\r\n1 a b\r\n2 c\r\n1 d\r\n.\r\n", "+OK\r\n.\r\n"));

}  // namespace
}  // namespace retriever_test
