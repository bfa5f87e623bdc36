// The pass reads an account's attached agents once and keeps them while the
// agents table stays as it was: what another program attaches or removes
// between two messages still runs, or stops running, from the next message.
#include "fixtures/agent_fixture.h"

#include "agents/core/file_stamp.h"
#include "store/table_layouts.h"
#include "tables/table.h"

#include <chrono>
#include <thread>

namespace agents_test {
namespace {

class AttachedAgentsTest : public AgentFixture {
protected:
    // Waits until the agents table's stamp may stand for what was read.
    void waitUntilSettled()
    {
        const std::string path = tables->Table("TableAgents").FilePath();
        for (int i = 0; i < 60; ++i) {
            const auto stamp = agents::StampOf(path);
            ASSERT_TRUE(stamp);
            if (agents::IsSettled(*stamp))
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        FAIL() << "the agents table never settled";
    }
};

TEST_F(AttachedAgentsTest, ChangesBetweenMessagesTakeEffectAtTheNextAndEachAccountKeepsItsOwn)
{
    addAccount("acc1");
    addAccount("acc2");
    writeAgent("First", {Always()}, {{"PLAY SOUND", "1.wav", ""}});
    writeAgent("Second", {Always()}, {{"PLAY SOUND", "2.wav", ""}});
    writeAgent("Third", {Always()}, {{"PLAY SOUND", "3.wav", ""}});
    const std::string first = attachAgent("acc1", "First");
    attachAgent("acc2", "Third");
    for (const char* name : {"a.eml", "b.eml", "c.eml", "d.eml"})
        addPending("acc1", name, MailText(std::string("<") + name + ">", "s"));
    addPending("acc2", "x.eml", MailText("<x@x>", "s"));

    // Another program's handle on the agents table.
    TTable other;
    other.DatabaseName = dataFolder;
    other.TableName = store::kAgentsTable;
    other.TableType = ttSXFOX;
    other.Open();
    host.onLine = [&](const std::string& line) {
        if (line == "Processing message b.eml") {
            other.Append();
            other.FieldByName("UNIQUE_ID").SetAsString("other1");
            other.FieldByName("LINK_ID").SetAsString("acc1");
            other.FieldByName("AGENT").SetAsString("Second");
            other.Post();
        } else if (line == "Processing message c.eml") {
            ASSERT_TRUE(other.Locate("UNIQUE_ID", first));
            other.Delete();
        }
        // Each change lands on a table whose rows the pass may have kept.
        if (line == "Processing message a.eml" || line == "Processing message b.eml")
            waitUntilSettled();
    };
    waitUntilSettled();

    pass->AgentsMain();

    EXPECT_EQ(host.sounds,
              (std::vector<std::string>{"1.wav", "1.wav", "2.wav", "2.wav", "2.wav", "3.wav"}));
    EXPECT_EQ(host.count(" - Processing Agent First"), 2);
    EXPECT_EQ(host.count(" - Processing Agent Third"), 1);
    const auto rows = historyRows();
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0].agentId, first);
    EXPECT_EQ(rows[2].agentId, "other1");
    EXPECT_EQ(rows[5].nodeId, "acc2");
}

}  // namespace
}  // namespace agents_test
