// A pass over accounts on a real POP3 server: what the restrictions fetch
// and delete, the pending files, the log, and that nothing is fetched twice.
#include "fixtures/pass_fixture.h"

#include "platform/files.h"
#include "retriever/core/message_keys.h"
#include "store/folder_tree.h"
#include "tables/table.h"
#include "tests/support/dovecot_server.h"
#include "tests/support/scoped_event_pump.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace retriever_test {
namespace {

using Names = std::vector<std::string>;

class PassRetrieval : public PassFixture {
protected:
    void SetUp() override
    {
        if (!test_support::DovecotServer::available())
            GTEST_SKIP() << "dovecot is not installed";
        server = std::make_unique<test_support::DovecotServer>();
        addAccount({.id = "acct1", .name = "home", .popAddress = server->address()});
    }

    // Texts left on the server, by their Subject lines.
    Names serverSubjects() const
    {
        Names subjects;
        for (const std::string& text : server->messages()) {
            const auto at = text.find("Subject: ");
            subjects.push_back(text.substr(at + 9, text.find('\n', at) - at - 9));
        }
        return subjects;
    }

    std::unique_ptr<test_support::DovecotServer> server;
};

TEST_F(PassRetrieval, AllMessagesRuleFetchesDeletesAndLogs)
{
    addRule({"acct1", "Control Restriction", "A", "", "", "Y", "Y"});
    server->addMessage(MailText("<one@example.org>", "first"));
    server->addMessage(MailText("", "second"));

    pass->ProcessMail();

    EXPECT_TRUE(host.errors.empty()) << host.errors.front();
    EXPECT_EQ(server->messageCount(), 0u);
    EXPECT_EQ(pendingFiles("acct1"), (Names{"-one@example.org-.eml", "20261208093000secon.eml"}));
    for (const char* line : {"home -- retrieving mail", "Downloading Header 1 of 2 -- first",
                             "Downloading Header 2 of 2 -- second", "Rule Control Restriction activated for message 1",
                             "Rule Control Restriction activated for message 2", "Retreiving  1 of 2",
                             "Retreiving  2 of 2"})
        EXPECT_TRUE(host.logged(line)) << line;
    EXPECT_LT(host.logIndex("Downloading Header 2 of 2 -- second"), host.logIndex("Retreiving  1 of 2"));
    EXPECT_EQ(host.progressMax, 2);
    // The pending file is the message as the mail reader loads it.
    TmsMessage saved;
    saved.LoadFromFile(pendingFolder("acct1") + "-one@example.org-.eml");
    EXPECT_EQ(saved.Subject(), "first");
    EXPECT_EQ(saved.Headers().GetFieldValue("Message-ID"), "<one@example.org>");
    EXPECT_FALSE(pop.Connected());
}

TEST_F(PassRetrieval, LastMatchingSizeRuleDecidesOverAllRule)
{
    addRule({"acct1", "Keep copies", "A", "", "", "Y", "N"});
    addRule({"acct1", "Drop big", "G", "", "50000", "N", "Y"});
    server->addMessage(MailText("<big@x>", "big", 60000));
    server->addMessage(MailText("<small@x>", "small", 1000));

    pass->ProcessMail();

    // The big one is only deleted, the small one fetched and kept.
    EXPECT_EQ(serverSubjects(), (Names{"small"}));
    EXPECT_EQ(pendingFiles("acct1"), (Names{"-small@x-.eml"}));
    EXPECT_TRUE(host.logged("Rule Drop big activated for message 1"));
    EXPECT_FALSE(host.logged("Rule Drop big activated for message 2"));
}

TEST_F(PassRetrieval, ContainsIgnoresCaseAndLongerThanSeesAnAbsentHeaderAsEmpty)
{
    addRule({"acct1", "Invoices", "C", "Subject", "invoice", "Y", "N"});
    addRule({"acct1", "Never", "L", "X-Absent", "0", "Y", "Y"});
    addRule({"acct1", "Empty text", "C", "Subject", "", "Y", "Y"});
    server->addMessage(MailText("<i@x>", "INVOICE 12"));
    server->addMessage(MailText("<n@x>", "news"));

    pass->ProcessMail();

    EXPECT_EQ(pendingFiles("acct1"), (Names{"-i@x-.eml"}));
    EXPECT_EQ(serverSubjects(), (Names{"INVOICE 12", "news"}));
    EXPECT_FALSE(host.logged("Rule Never activated for message 1"));
    EXPECT_FALSE(host.logged("Rule Empty text activated for message 2"));
}

// A waiting file is never replaced, and a message it does not hold is not
// taken for it: that message is kept under a key of its own.
TEST_F(PassRetrieval, WaitingPendingFileIsNeitherReplacedNorTakenForAnotherMessage)
{
    addRule({"acct1", "Control Restriction", "A", "", "", "Y", "Y"});
    server->addMessage(MailText("<wait@x>", "waiting"));
    platform::ForceDirectories(pendingFolder("acct1"));
    platform::WriteFileAtomic(pendingFolder("acct1") + "-wait@x-.eml", "older copy");

    pass->ProcessMail();

    EXPECT_EQ(server->messageCount(), 0u);
    EXPECT_EQ(platform::ReadWholeFile(pendingFolder("acct1") + "-wait@x-.eml"), "older copy");
    const Names files = pendingFiles("acct1");
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].rfind("-wait@x--", 0), 0u) << files[0];
    EXPECT_TRUE(host.logged("Message 1 has the key of another message -- saved as " + files[0]));
    TmsMessage saved;
    saved.LoadFromFile(pendingFolder("acct1") + files[0]);
    EXPECT_EQ(saved.Subject(), "waiting");
}

TEST_F(PassRetrieval, MessageLeftOnServerIsFetchedOnceAfterItWasFiled)
{
    addRule({"acct1", "Copy", "A", "", "", "Y", "N"});
    server->addMessage(MailText("<kept@x>", "kept"));
    server->addMessage(MailText("", "no id"));
    pass->ProcessMail();
    ASSERT_EQ(pendingFiles("acct1").size(), 2u);
    // The agent processor files both under the shared received key.
    for (const std::string& name : pendingFiles("acct1"))
        fileAsReceived("acct1", name);

    now += 1.0;  // the next poll
    host.log.clear();
    pass->ProcessMail();

    EXPECT_TRUE(pendingFiles("acct1").empty());
    EXPECT_FALSE(host.logged("Retreiving  1 of 2"));
    EXPECT_FALSE(host.logged("Rule Copy activated for message 1"));
    EXPECT_EQ(server->messageCount(), 2u);
}

TEST_F(PassRetrieval, ReceivedKeyIsComparedWhole)
{
    addRule({"acct1", "Copy", "A", "", "", "Y", "N"});
    server->addMessage(MailText("<a@x>", "short id"));
    TTable& received = tables->Table("TableReceived");
    received.Append();
    received.FieldByName("MESSAGE_ID").SetAsString("<a@x>.longer");
    received.Post();

    pass->ProcessMail();

    EXPECT_EQ(pendingFiles("acct1"), (Names{"-a@x-.eml"}));
}

TEST_F(PassRetrieval, FailedSaveLeavesTheMessageOnTheServer)
{
    addRule({"acct1", "Control Restriction", "A", "", "", "Y", "Y"});
    server->addMessage(MailText("<first@x>", "first"));
    server->addMessage(MailText("<second@x>", "second"));
    // While the first message is on the wire, the pending folder turns into
    // a file: its save must fail.
    const std::string folder = pendingFolder("acct1");
    test_support::ScopedEventPump pump([&] {
        if (host.logged("Retreiving  1 of 2") && platform::DirectoryExists(folder)) {
            std::filesystem::remove_all(folder);
            platform::WriteFileAtomic(folder.substr(0, folder.size() - 1), "in the way");
        }
    });

    EXPECT_ANY_THROW(pass->ProcessMail());

    EXPECT_EQ(serverSubjects(), (Names{"first", "second"}));
    EXPECT_EQ(host.errors.size(), 1u);
    EXPECT_FALSE(pop.Connected());
}

// Two different messages with one Message-ID: each is saved, the second
// under a key of its own, and the next poll fetches neither again.
TEST_F(PassRetrieval, SecondMessageWithTheSameKeyIsSavedUnderAKeyOfItsOwn)
{
    addRule({"acct1", "Control Restriction", "A", "", "", "Y", "Y"});
    server->addMessage(MailText("<same@x>", "copy one"));
    server->addMessage(MailText("<same@x>", "copy two"));

    pass->ProcessMail();

    const Names files = pendingFiles("acct1");
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[1], "-same@x-.eml");
    EXPECT_EQ(files[0].size(), std::string("-same@x--12345678.eml").size()) << files[0];
    EXPECT_TRUE(host.logged("Message 2 has the key of another message -- saved as " + files[0]));
    EXPECT_EQ(server->messageCount(), 0u);

    now += 1.0;
    host.log.clear();
    server->addMessage(MailText("<same@x>", "copy one"));
    pass->ProcessMail();
    // A third delivery of the first one is that message: kept already.
    EXPECT_EQ(pendingFiles("acct1"), files);
    EXPECT_TRUE(host.logged("Message 1 already retrieved -- deleting it from the server"));
    EXPECT_EQ(server->messageCount(), 0u);
}

// A poll that ends before QUIT leaves on the server what it fetched and
// deleted. Later polls delete what the rules say to delete once its copy
// is here, waiting or filed, without fetching it again.
TEST_F(PassRetrieval, MessageKeptHereIsDeletedWithoutBeingFetchedAgain)
{
    addRule({"acct1", "Copy", "A", "", "", "Y", "N"});
    server->addMessage(MailText("<waits@x>", "waits"));
    server->addMessage(MailText("<filed@x>", "filed"));
    server->addMessage(MailText("", "filed without id"));
    server->addMessage(MailText("<lost@x>", "copy failed"));
    server->addMessage(MailText("<enc@x>", "=?utf-8?q?caf=C3=A9_cr=C3=A8me?= and a long subject that goes on"));
    pass->ProcessMail();
    ASSERT_EQ(pendingFiles("acct1").size(), 5u);
    // The agent processor files three (one of them without a copy in In/).
    const std::string in = store::ReceivedFolder(messagesFolder, "acct1");
    platform::ForceDirectories(in);
    for (const std::string name : {"-filed@x-.eml", "20261208093000filed.eml", "-lost@x-.eml"}) {
        if (name != "-lost@x-.eml")
            platform::CopyFileReplace(pendingFolder("acct1") + name, in + name);
        fileAsReceived("acct1", name);
    }
    const std::string waiting = platform::ReadWholeFile(pendingFolder("acct1") + "-waits@x-.eml");

    addRule({"acct1", "Delete", "A", "", "", "N", "Y"});
    now += 1.0;
    host.log.clear();
    pass->ProcessMail();

    EXPECT_TRUE(host.errors.empty()) << host.errors.front();
    EXPECT_EQ(serverSubjects(), (Names{"copy failed"}));
    EXPECT_FALSE(host.logged("Retreiving  1 of 5"));
    for (int n : {1, 2, 3, 5})
        EXPECT_TRUE(host.logged("Message " + std::to_string(n) + " already retrieved -- deleting it from the server"))
            << n;
    EXPECT_FALSE(host.logged("Message 4 already retrieved -- deleting it from the server"));
    EXPECT_EQ(platform::ReadWholeFile(pendingFolder("acct1") + "-waits@x-.eml"), waiting);
}

TEST_F(PassRetrieval, HostileMessageIdStaysInsideThePendingFolder)
{
    addRule({"acct1", "Control Restriction", "A", "", "", "Y", "Y"});
    server->addMessage(MailText("<../../../escape/" + std::string(300, 'k') + "@x>", "hostile"));
    server->addMessage(MailText(".hidden@x", "hidden"));

    pass->ProcessMail();

    EXPECT_TRUE(host.errors.empty()) << host.errors.front();
    EXPECT_EQ(server->messageCount(), 0u);
    const Names files = pendingFiles("acct1");
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].size(), retriever::kMaxFileKeyBytes + 4);
    EXPECT_EQ(files[1], "-hidden@x.eml");
    EXPECT_FALSE(platform::DirectoryExists(messagesFolder + "escape"));
}

TEST_F(PassRetrieval, EmptyMailboxEndsTheSession)
{
    addRule({"acct1", "Control Restriction", "A", "", "", "Y", "Y"});

    pass->ProcessMail();

    EXPECT_TRUE(host.logged("There are no messages"));
    EXPECT_FALSE(pop.Connected());
    EXPECT_TRUE(host.errors.empty());
}

TEST_F(PassRetrieval, AccountWithoutRestrictionsLeavesEverything)
{
    server->addMessage(MailText("<x@x>", "untouched"));

    pass->ProcessMail();

    EXPECT_EQ(server->messageCount(), 1u);
    EXPECT_TRUE(pendingFiles("acct1").empty());
    EXPECT_TRUE(host.logged("Downloading Header 1 of 1 -- untouched"));
}

}  // namespace
}  // namespace retriever_test
