// The agent and template commands without a window: the dialogs' lists
// turned into what the agent processor reads, agent files written under a
// checked name, and the listed files deleted and renamed in their folder.
#include "core_fixture.h"

#include <filesystem>

#include "manager/core/agent_captions.h"
#include "manager/core/agent_commands.h"
#include "manager/core/listed_files.h"
#include "manager/core/manager_error.h"
#include "store/agent_file.h"
#include "store/store_error.h"

namespace managertest {
namespace {

using manager::AgentLists;

class AgentFiles : public ManagerCoreTest {
protected:
    std::string agents = dir.path() + "/agents/";
    TDateTime now = platform::EncodeDate(2026, 12, 9) + platform::EncodeTime(14, 5, 6, 0);
    void SetUp() override
    {
        ManagerCoreTest::SetUp();
        platform::ForceDirectories(agents);
    }
    std::string read(const std::string& name) { return test_support::readFile(agents + name); }
};

TEST_F(AgentFiles, EveryChoiceIsStoredAsTheProcessorReadsIt)
{
    // The processor knows the whole header as ANYHEADER and looks a
    // header up by its real name.
    EXPECT_EQ(manager::StoredTriggerHeader("<Any Header>"), "ANYHEADER");
    EXPECT_EQ(manager::StoredTriggerHeader("Reply To"), "Reply-To");
    for (const char* same : {"Subject", "From", "To", "Cc", "<Body>", "X-Mailer"})
        EXPECT_EQ(manager::StoredTriggerHeader(same), same);
    // And back, also from files written with the shown texts.
    for (const char* stored : {"ANYHEADER", "anyheader", "<Any Header>"})
        EXPECT_EQ(manager::ShownTriggerHeader(stored), "<Any Header>") << stored;
    EXPECT_EQ(manager::ShownTriggerHeader("reply-to"), "Reply To");
    EXPECT_EQ(manager::ShownTriggerHeader("SUBJECT"), "SUBJECT");
    // The action names the processor compares.
    std::vector<std::string> names;
    for (const std::string& caption : manager::ActionCaptions())
        names.push_back(manager::ActionName(caption));
    EXPECT_EQ(names, (std::vector<std::string>{"AUTO-REPLY", "CLOSE TARSEL", "DELAY THE AGENT", "FORWARD TO",
                                               "LAUNCH PROGRAM", "PLAY SOUND", "REDIRECT TO",
                                               "REMOVE FROM FURTHER AGENT PROCESSING", "RESTART THE COMPUTER",
                                               "RUN AN TARSELSCRIPT"}));
}

TEST_F(AgentFiles, TheListsConvertByPositionAndShortListsReadEmpty)
{
    const AgentLists lists{{"Reply To", "<Body>"}, {"contains"}, {"help@", "x", "ignored"},
                           {"PLAY SOUND"},         {},           {}};
    EXPECT_EQ(manager::TriggersFromLists(lists),
              (std::vector<store::AgentTrigger>{{"Reply-To", "contains", "help@"}, {"<Body>", "", "x"}}));
    EXPECT_EQ(manager::ActionsFromLists(lists), (std::vector<store::AgentAction>{{"PLAY SOUND", "", ""}}));
    const AgentLists back =
        manager::ListsFromAgent(manager::TriggersFromLists(lists), manager::ActionsFromLists(lists));
    EXPECT_EQ(back.header, lists.header);
    EXPECT_EQ(back.condition, (std::vector<std::string>{"contains", ""}));
}

TEST_F(AgentFiles, NewAgentsOfEachKind)
{
    manager::WriteNewAgent(agents, "Empty", "message", {}, now);
    EXPECT_EQ(read("Empty.agent"),
              "[MAIN]\nAgentType=MESSAGE\nAppVersion=.9999\nCreatedDateTime=12/09/26 14:05:06\n"
              "ModifiedDateTime=12/09/26 14:05:06\nCreateUser=\nModifiedUser=\nTriggerCount=0\nActionCount=0\n");
    manager::WriteNewAgent(agents, "Timer", "INTERVAL", {{"Subject"}, {"contains"}, {"x"}, {}, {}, {}}, now);
    EXPECT_EQ(read("Timer.agent"), "[MAIN]\nAgentType=INTERVAL\n");
    manager::WriteNewAgent(agents, "Cond", "MESSAGE", {{"To"}, {""}, {"me"}, {}, {}, {}}, now);
    EXPECT_NE(read("Cond.agent").find("[CONDITION]\nEntry1=\n"), std::string::npos);
}

TEST_F(AgentFiles, ARefusedNameWritesNothingAnywhere)
{
    for (const char* name : {"", "..", "../escape", "a/b", "what?", "back\\slash", " lead"}) {
        EXPECT_THROW(manager::WriteNewAgent(agents, name, "MESSAGE", {}, now), store::StoreError) << name;
        EXPECT_THROW(manager::AgentNameTaken(agents, name), store::StoreError) << name;
    }
    EXPECT_TRUE(std::filesystem::is_empty(agents));
    EXPECT_FALSE(std::filesystem::exists(dir.path() + "/escape.agent"));
}

TEST_F(AgentFiles, AReplacedAgentIsExactlyTheNewOne)
{
    test_support::writeFile(agents + "Same.agent", "[MAIN]\nAgentType=MESSAGE\nTriggerCount=3\nOwner=old\n"
                                                   "[HEADER]\nEntry3=From\n");
    EXPECT_TRUE(manager::AgentNameTaken(agents, "same"));
    manager::WriteNewAgent(agents, "Same", "INTERVAL", {}, now);
    EXPECT_EQ(read("Same.agent"), "[MAIN]\nAgentType=INTERVAL\n");
    // Nothing left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(agents), std::filesystem::directory_iterator()), 1);
}

TEST_F(AgentFiles, ChangedAgentsKeepStaleEntriesAndBecomeMessageAgents)
{
    const std::string path = agents + "A.agent";
    manager::WriteNewAgent(agents, "A", "MESSAGE",
                           {{"Subject", "From", "To"}, {"contains", "contains", "contains"}, {"1", "2", "3"}, {}, {}, {}},
                           now);
    AgentLists lists = manager::LoadAgentLists(path);
    EXPECT_EQ(lists.value, (std::vector<std::string>{"1", "2", "3"}));
    lists = {{"Cc"}, {"begins with"}, {"x"}, {}, {}, {}};
    manager::SaveAgentLists(path, lists, now);
    EXPECT_EQ(store::ReadAgentTriggers(path), (std::vector<store::AgentTrigger>{{"Cc", "begins with", "x"}}));
    EXPECT_NE(read("A.agent").find("Entry3=To\n"), std::string::npos);

    test_support::writeFile(agents + "F.agent",
                            "[MAIN]\nAgentType=FUNCTION\nTriggerCount=1\n[HEADER]\nEntry1=From\n");
    EXPECT_EQ(manager::LoadAgentLists(agents + "F.agent"), AgentLists{});
    manager::SaveAgentLists(agents + "F.agent", {}, now);
    EXPECT_EQ(store::ReadAgentType(agents + "F.agent"), "MESSAGE");
    EXPECT_TRUE(store::ReadAgentTriggers(agents + "F.agent").empty());
}

TEST_F(AgentFiles, ListedFilesAreDeletedAndRenamedWithinTheirFolder)
{
    for (const char* name : {"b.agent", "a.agent", "A.AGENT", ".agent", "x.txt", "q?.agent"})
        test_support::writeFile(agents + name, name);
    std::vector<std::string> names;
    for (const manager::ListedFile& file : manager::ListFolder(agents, manager::kAgentExtension))
        names.push_back(file.fileName + "|" + file.caption);
    EXPECT_EQ(names, (std::vector<std::string>{".agent|", "a.agent|a", "b.agent|b", "q?.agent|q?"}));
    EXPECT_TRUE(manager::ListFolder(dir.path() + "/missing/", ".eml").empty());

    const std::string refusal = "Unable to rename agent";
    EXPECT_THROW(
        {
            try {
                manager::RenameListedFile(agents, "a.agent", "b", ".agent", refusal);
            } catch (const manager::ManagerError& error) {
                EXPECT_EQ(std::string(error.what()), refusal);
                throw;
            }
        },
        manager::ManagerError);
    EXPECT_EQ(read("b.agent"), "b.agent");
    EXPECT_THROW(manager::RenameListedFile(agents, "a.agent", "B", ".agent", refusal), manager::ManagerError);
    EXPECT_FALSE(std::filesystem::exists(agents + "B.agent"));
    EXPECT_THROW(manager::RenameListedFile(agents, "a.agent", "../a", ".agent", refusal), manager::ManagerError);
    EXPECT_THROW(manager::RenameListedFile(agents, "gone.agent", "c", ".agent", refusal), manager::ManagerError);
    EXPECT_EQ(manager::RenameListedFile(agents, "q?.agent", "q", ".agent", refusal), "q.agent");
    EXPECT_EQ(read("q.agent"), "q?.agent");
    EXPECT_EQ(manager::RenameListedFile(agents, "a.agent", "a", ".agent", refusal), "a.agent");
    // Only the case of its own name changes.
    EXPECT_EQ(manager::RenameListedFile(agents, "q.agent", "Q", ".agent", refusal), "Q.agent");

    manager::DeleteListedFile(agents, ".agent");
    manager::DeleteListedFile(agents, ".agent");  // already gone: no error
    EXPECT_FALSE(std::filesystem::exists(agents + ".agent"));
    EXPECT_THROW(manager::DeleteListedFile(agents, "../x.txt"), manager::ManagerError);
    EXPECT_THROW(manager::DeleteListedFile(agents, ""), manager::ManagerError);
    EXPECT_TRUE(std::filesystem::exists(agents + "x.txt"));
}

TEST_F(AgentFiles, TemplateNamesThatCannotBeFilesAreExplained)
{
    for (const char* name : {"", ".", "..", "a/b", "tab\there"})
        EXPECT_FALSE(manager::TemplateNameProblem(name).empty()) << name;
    for (const char* name : {"Thanks", "what?", "Re: your order"})
        EXPECT_TRUE(manager::TemplateNameProblem(name).empty()) << name;
}

}  // namespace
}  // namespace managertest
