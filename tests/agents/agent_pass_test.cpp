// The pass over the pending folders: which agents run on which message, how
// each message is filed, and that no message is lost or filed twice when a
// pass is cut short or a file cannot be read.
#include "fixtures/agent_fixture.h"

#include "platform/files.h"
#include "retriever/core/message_keys.h"
#include "store/table_layouts.h"
#include "tables/table.h"
#include "tests/support/temp_dir.h"

#include <filesystem>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace agents_test {
namespace {

using store::AgentAction;

class AgentPassTest : public AgentFixture {};

TEST_F(AgentPassTest, RemovedMessageStillVisitsLaterAgentsWithoutRunningThem)
{
    addAccount("acc1");
    writeAgent("Stopper", {Always()}, {{"REMOVE FROM FURTHER AGENT PROCESSING", "", ""}, {"PLAY SOUND", "a.wav", ""}});
    writeAgent("Second", {Always()}, {{"PLAY SOUND", "b.wav", ""}});
    attachAgent("acc1", "Stopper");
    attachAgent("acc1", "Second");
    addPending("acc1", "m1.eml", MailText("<m1@x>", "Hello"));

    pass->AgentsMain();

    EXPECT_TRUE(host.logged("Processing message m1.eml"));
    EXPECT_TRUE(host.logged(" - Processing Agent Stopper"));
    EXPECT_TRUE(host.logged(" - Processing Agent Second"));
    // The first agent's own later actions still run; the second agent not.
    EXPECT_EQ(host.sounds, std::vector<std::string>{"a.wav"});
    EXPECT_EQ(historyTexts(), std::vector<std::string>{"Played Sound: a.wav"});
    EXPECT_EQ(host.scanPasses, "1 Total Scan Passes");
}

TEST_F(AgentPassTest, AccountWithoutAgentsFilesEachMessage)
{
    addAccount("acc1");
    addPending("acc1", "a.eml", MailText("<a@x>", "First subject"));
    addPending("acc1", "b.eml", MailText("", "Second one"));

    pass->AgentsMain();

    const auto rows = receivedRows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].messageId, "<a@x>");
    EXPECT_EQ(rows[0].subject, "First subject");
    EXPECT_EQ(rows[0].from, "Ann Lee <ann@example.org>");
    EXPECT_EQ(rows[0].recDate, "12/08/26");
    EXPECT_EQ(rows[0].linkId, "acc1");
    EXPECT_EQ(rows[0].fileName, "a.eml");
    // Without a Message-ID: the date and the first five subject characters.
    EXPECT_EQ(rows[1].messageId, "20261208093000Secon");
    EXPECT_TRUE(pendingFiles("acc1").empty());
    EXPECT_TRUE(platform::FileExists(receivedFolder("acc1") + "a.eml"));
    EXPECT_TRUE(platform::FileExists(receivedFolder("acc1") + "b.eml"));
    EXPECT_TRUE(host.logged(" Successfully copied " + pendingFolder("acc1") + " to " + receivedFolder("acc1") +
                            "a.eml in received items folder"));
}

TEST_F(AgentPassTest, EmptyAccountIdStopsTheWalk)
{
    addAccount("acc1");
    addAccount("");
    addAccount("acc3");
    addPending("acc1", "a.eml", MailText("<a@x>", "s"));
    addPending("acc3", "c.eml", MailText("<c@x>", "s"));

    pass->AgentsMain();

    EXPECT_TRUE(pendingFiles("acc1").empty());
    EXPECT_EQ(pendingFiles("acc3"), std::vector<std::string>{"c.eml"});
}

TEST_F(AgentPassTest, EqualKeysGiveTwoRowsAndBothMessagesRunTheAgents)
{
    addAccount("acc1");
    writeAgent("Sound", {Always()}, {{"PLAY SOUND", "s.wav", ""}});
    attachAgent("acc1", "Sound");
    addPending("acc1", "one.eml", MailText("", "Equal subject"));
    addPending("acc1", "two.eml", MailText("", "Equal subject too"));

    pass->AgentsMain();

    const auto rows = receivedRows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].messageId, rows[1].messageId);
    EXPECT_EQ(host.sounds.size(), 2u);
    EXPECT_TRUE(pendingFiles("acc1").empty());
}

// postp saves a different message whose key is taken under a key of its
// own; its received row gets a key of its own too, so that the next poll
// tells the two apart. A cut filing of it is completed without the agents.
TEST_F(AgentPassTest, AFileNamedByAKeyOfItsOwnIsFiledUnderAReceivedKeyOfItsOwn)
{
    addAccount("acc1");
    writeAgent("Sound", {Always()}, {{"PLAY SOUND", "s.wav", ""}});
    attachAgent("acc1", "Sound");
    const std::string own = retriever::DerivedFileKey("-same@x-", "0123abcd") + ".eml";
    addPending("acc1", "-same@x-.eml", MailText("<same@x>", "Report", {"disk at 45%"}));
    addPending("acc1", own, MailText("<same@x>", "Report", {"disk at 46%"}));
    // Where the second copy goes, a folder is in the way: its filing is cut
    // after the row.
    platform::ForceDirectories(receivedFolder("acc1") + own);

    pass->AgentsMain();
    ASSERT_EQ(pendingFiles("acc1"), std::vector<std::string>{own});
    std::filesystem::remove(receivedFolder("acc1") + own);
    pass->AgentsMain();

    std::map<std::string, std::string> keyOfFile;
    for (const ReceivedRow& row : receivedRows())
        keyOfFile[row.fileName] = row.messageId;
    EXPECT_EQ(keyOfFile, (std::map<std::string, std::string>{{"-same@x-.eml", "<same@x>"},
                                                             {own.substr(0, store::kFileNameWidth), "<same@x>-0123abcd"}}));
    EXPECT_TRUE(host.logged("Completing the filing of " + pendingFolder("acc1") + own));
    EXPECT_EQ(host.sounds.size(), 2u);
    EXPECT_TRUE(pendingFiles("acc1").empty());
    EXPECT_TRUE(platform::FileExists(receivedFolder("acc1") + own));
}

TEST_F(AgentPassTest, MissingPendingFolderDoesNothing)
{
    addAccount("acc1");
    pass->AgentsMain();
    EXPECT_TRUE(receivedRows().empty());
    EXPECT_EQ(host.scanPasses, "1 Total Scan Passes");
}

TEST_F(AgentPassTest, DebugMarksAndAgentTypes)
{
    addAccount("acc1");
    writeAgent("Tick", {}, {}, "INTERVAL");
    writeAgent("Fn", {}, {}, "FUNCTION");
    attachAgent("acc1", "Tick");
    attachAgent("acc1", "Fn");
    attachAgent("acc1", "NoSuchAgent");
    // A name that cannot be a file name in the agents folder names no agent.
    attachAgent("acc1", "../outside");
    addPending("acc1", "a.eml", MailText("<a@x>", "s"));

    pass->AgentsMain();

    EXPECT_EQ(host.debug, (std::vector<std::string>{"MARK1", "MARK2", "MARK3"}));
    EXPECT_TRUE(host.logged("INTERVAL AGENT PROCESS ACTIVATED Not implemented!"));
    EXPECT_TRUE(host.logged("FUNCTION AGENT PROCESS ACTIVATED Not implemented"));
    EXPECT_TRUE(host.logged(" - Processing Agent NoSuchAgent"));
    EXPECT_TRUE(host.logged(" - Processing Agent ../outside"));
    EXPECT_TRUE(pendingFiles("acc1").empty());
}

// The received key is the one the retriever looks up before fetching, so a
// message left on the server is not fetched and answered again.
TEST_F(AgentPassTest, ReceivedKeyIsTheRetrieversKey)
{
    addAccount("acc1");
    addPending("acc1", "k.eml", MailText("<order-17@shop.example>", "Order"));
    pass->AgentsMain();
    const auto rows = receivedRows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].messageId, "<order-17@shop.example>");
}

// The received copy must be found from its row, whatever the name's length.
TEST_F(AgentPassTest, LongFileNameIsStoredWhole)
{
    addAccount("acc1");
    const std::string name = std::string(120, 'n') + ".eml";
    addPending("acc1", name, MailText("<long@x>", "s"));
    pass->AgentsMain();
    const auto rows = receivedRows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].fileName, name);
    EXPECT_TRUE(platform::FileExists(receivedFolder("acc1") + rows[0].fileName));
}

TEST_F(AgentPassTest, UnreadableFileIsLeftAndTheQueueGoesOn)
{
    addAccount("acc1");
    addAccount("acc2");
    platform::ForceDirectories(pendingFolder("acc1"));
    const std::string bad = pendingFolder("acc1") + "a-bad.eml";
    if (geteuid() == 0) {
        // Reading this regular file fails even for root.
        ASSERT_EQ(::symlink("/proc/self/mem", bad.c_str()), 0);
    } else {
        test_support::writeFile(bad, "x");
        ::chmod(bad.c_str(), 0);
    }
    addPending("acc1", "b-good.eml", MailText("<b@x>", "s"));
    addPending("acc2", "c.eml", MailText("<c@x>", "s"));

    pass->AgentsMain();

    EXPECT_TRUE(host.logged("Unable to load for processing filename: " + bad));
    EXPECT_EQ(pendingFiles("acc1"), std::vector<std::string>{"a-bad.eml"});
    EXPECT_TRUE(pendingFiles("acc2").empty());
    EXPECT_EQ(receivedRows().size(), 2u);
}

// A pass cut short after the received row: the next pass completes the
// filing without running the agents again.
TEST_F(AgentPassTest, FailedCopyKeepsTheFileAndTheRetryDoesNotRerunAgents)
{
    addAccount("acc1");
    writeAgent("Sound", {Always()}, {{"PLAY SOUND", "s.wav", ""}});
    attachAgent("acc1", "Sound");
    addPending("acc1", "m.eml", MailText("<m@x>", "s"));
    // A file where the received folder belongs: the copy cannot be made.
    platform::ForceDirectories(messagesFolder + "acc1");
    test_support::writeFile(messagesFolder + "acc1/In", "in the way");

    pass->AgentsMain();

    EXPECT_TRUE(host.logged(" - FAILED to copy " + pendingFolder("acc1") + "m.eml to " + receivedFolder("acc1") +
                            "m.eml in received items folder"));
    EXPECT_EQ(pendingFiles("acc1"), std::vector<std::string>{"m.eml"});
    EXPECT_EQ(receivedRows().size(), 1u);

    platform::DeleteFile(messagesFolder + "acc1/In");
    pass->AgentsMain();

    EXPECT_EQ(host.sounds.size(), 1u);
    EXPECT_EQ(historyTexts().size(), 1u);
    EXPECT_EQ(receivedRows().size(), 1u);
    EXPECT_TRUE(pendingFiles("acc1").empty());
    EXPECT_TRUE(platform::FileExists(receivedFolder("acc1") + "m.eml"));
}

// A message filed under an equal key by another file is not mistaken for
// this one's unfinished filing.
TEST_F(AgentPassTest, RowOfAnotherFileWithTheSameKeyDoesNotCount)
{
    addAccount("acc1");
    writeAgent("Sound", {Always()}, {{"PLAY SOUND", "s.wav", ""}});
    attachAgent("acc1", "Sound");
    addPending("acc1", "first.eml", MailText("", "Same"));
    pass->AgentsMain();
    addPending("acc1", "second.eml", MailText("", "Same"));
    pass->AgentsMain();
    EXPECT_EQ(host.sounds.size(), 2u);
    EXPECT_EQ(receivedRows().size(), 2u);
}

// The row carries the message as its file holds it, not as a forward left
// it in memory.
TEST_F(AgentPassTest, ReceivedRowComesFromThePendingFile)
{
    addAccount("acc1", "127.0.0.1:1");
    writeAgent("Fwd", {Always()}, {{"FORWARD TO", "boss@example.org", ""}});
    attachAgent("acc1", "Fwd");
    addPending("acc1", "f.eml", MailText("", "Quarterly figures"));
    pass->AgentsMain();
    const auto rows = receivedRows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].subject, "Quarterly figures");
    EXPECT_EQ(rows[0].from, "Ann Lee <ann@example.org>");
    EXPECT_EQ(rows[0].messageId, "20261208093000Quart");
}

TEST_F(AgentPassTest, MissingDateLeavesTheDateEmpty)
{
    addAccount("acc1");
    addPending("acc1", "d.eml", "From: a@x\r\nSubject: No date\r\n\r\nbody\r\n");
    pass->AgentsMain();
    const auto rows = receivedRows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].recDate, "");
    EXPECT_EQ(rows[0].messageId.substr(14), "No da");
}

TEST_F(AgentPassTest, PackPendingAndMoveMessage)
{
    addAccount("acc1");
    TTable& pending = tables->Table("TableAPending");
    pending.Append();
    pending.FieldByName("MESSAGE_ID").SetAsString("<p@x>");
    pending.FieldByName("LINK_ID").SetAsString("acc1");
    pending.FieldByName("SUBJECT").SetAsString("Moved");
    pending.FieldByName("FILENAME").SetAsString("p.eml");
    pending.Post();
    addPending("acc1", "p.eml", MailText("<p@x>", "Moved"));
    tables->Table("TableANodes").First();
    pending.First();

    pass->AMoveMessage(pending, tables->Table("TableAReceived"));

    EXPECT_TRUE(host.logged("Moved " + pendingFolder("acc1") + "p.eml to " + receivedFolder("acc1") + "p.eml"));
    const auto rows = receivedRows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].messageId, "<p@x>");
    EXPECT_EQ(rows[0].fileName, "p.eml");
    EXPECT_TRUE(pendingFiles("acc1").empty());

    // Only this program holds the table: the exclusive reopen succeeds, the
    // deleted row is packed away, and the table is shared again.
    EXPECT_TRUE(pass->PackPending());
    EXPECT_TRUE(pending.Active());
    EXPECT_EQ(pending.RecordCount(), 0);

    // Another holder of the table: no pack, and the table stays usable.
    store::TableSet other({store::TableObjectSpec{"TableP", store::kPendingTable, "", "", "", true}});
    other.SetDatabaseFolder(dataFolder);
    other.Open({"TableP"});
    EXPECT_FALSE(pass->PackPending());
    EXPECT_TRUE(pending.Active());
}

}  // namespace
}  // namespace agents_test
