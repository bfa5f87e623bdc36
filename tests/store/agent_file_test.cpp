// Agent files as the manager writes them and the agent processor reads them.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/datetime.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/ini_file.h"
#include "store/agent_file.h"
#include "store/agent_name.h"
#include "store/folder_tree.h"
#include "store/store_error.h"
#include "store_fixture.h"

namespace {

using store::AgentAction;
using store::AgentTrigger;

class StoreAgentFile : public storetest::StoreTest {
protected:
    std::string path = dir.file("Auto answer.agent");
    TDateTime when = platform::EncodeDate(2026, 3, 4) + platform::EncodeTime(7, 8, 9, 0);

    std::vector<std::string> keys(const std::string& section) const
    {
        return platform::IniFile(path).ReadSection(section);
    }
    std::string text() const { return platform::ReadWholeFile(path); }
};

TEST_F(StoreAgentFile, EmptyMessageAgentHasEightMainKeysAndNothingElse)
{
    store::WriteAgentFile(path, "message", {}, {}, when);
    EXPECT_EQ(text(),
              "[MAIN]\n"
              "AgentType=MESSAGE\n"
              "AppVersion=.9999\n"
              "CreatedDateTime=03/04/26 07:08:09\n"
              "ModifiedDateTime=03/04/26 07:08:09\n"
              "CreateUser=\n"
              "ModifiedUser=\n"
              "TriggerCount=0\n"
              "ActionCount=0\n");
}

TEST_F(StoreAgentFile, IntervalAndFunctionAgentsHoldTheirTypeAlone)
{
    store::WriteAgentFile(path, "Interval", {{"Subject", "contains", "x"}}, {{"PLAY SOUND", "a.wav", ""}}, when);
    EXPECT_EQ(text(), "[MAIN]\nAgentType=INTERVAL\n");
    const store::AgentDefinition loaded = store::LoadAgentFile(path);
    EXPECT_EQ(loaded.type, "INTERVAL");
    EXPECT_TRUE(loaded.triggers.empty());
    EXPECT_TRUE(loaded.actions.empty());
}

TEST_F(StoreAgentFile, TriggersAndActionsRoundTripInWritingOrder)
{
    const std::vector<AgentTrigger> triggers{{"Subject", "contains", "order"}, {"<Body>", "", ""}};
    const std::vector<AgentAction> actions{{"FORWARD TO", "boss@example.com", ""},
                                           {"LAUNCH PROGRAM", "\"/opt/my tool\" --x", ""}};
    store::WriteAgentFile(path, "MESSAGE", triggers, actions, when);
    // An empty condition is a key with nothing after the equals sign.
    EXPECT_NE(text().find("[CONDITION]\nEntry1=contains\nEntry2=\n"), std::string::npos) << text();
    EXPECT_EQ(keys("HEADER"), (std::vector<std::string>{"Entry1", "Entry2"}));
    EXPECT_EQ(keys("ACTIONPARAM3"), (std::vector<std::string>{"Entry1", "Entry2"}));
    // Sections come in the order they are first written.
    const std::string t = text();
    EXPECT_LT(t.find("[MAIN]"), t.find("[HEADER]"));
    EXPECT_LT(t.find("[HEADER]"), t.find("[CONDITION]"));
    EXPECT_LT(t.find("[VALUE]"), t.find("[ACTIONPARAM1]"));
    EXPECT_LT(t.find("[ACTIONPARAM2]"), t.find("[ACTIONPARAM3]"));

    const store::AgentDefinition loaded = store::LoadAgentFile(path);
    EXPECT_EQ(loaded.type, "MESSAGE");
    EXPECT_EQ(loaded.triggers, triggers);
    EXPECT_EQ(loaded.actions, actions);
}

TEST_F(StoreAgentFile, ShrinkingKeepsStaleEntriesThatReadersPassOver)
{
    store::WriteAgentFile(path, "MESSAGE",
                          {{"Subject", "contains", "a"}, {"From", "contains", "b"}, {"To", "begins with", "c"}}, {},
                          when);
    store::WriteAgentFile(path, "MESSAGE", {{"Cc", "doesn't contain", "d"}}, {}, when);
    const platform::IniFile ini(path);
    EXPECT_EQ(ini.ReadInteger("MAIN", "TriggerCount", -1), 1);
    EXPECT_EQ(ini.ReadString("HEADER", "Entry1", ""), "Cc");
    EXPECT_EQ(ini.ReadString("HEADER", "Entry3", ""), "To");
    EXPECT_EQ(ini.ReadString("VALUE", "Entry2", ""), "b");
    EXPECT_EQ(store::ReadAgentTriggers(path), (std::vector<AgentTrigger>{{"Cc", "doesn't contain", "d"}}));
}

TEST_F(StoreAgentFile, WritingKeepsKeysItDoesNotWrite)
{
    platform::IniFile(path).WriteString("MAIN", "Owner", "kept");
    platform::IniFile(path).WriteString("NOTES", "Text", "also kept");
    store::WriteAgentFile(path, "MESSAGE", {}, {}, when);
    EXPECT_EQ(platform::IniFile(path).ReadString("MAIN", "Owner", ""), "kept");
    EXPECT_EQ(platform::IniFile(path).ReadString("NOTES", "Text", ""), "also kept");
}

TEST_F(StoreAgentFile, ReadersAcceptWhatOthersWrite)
{
    // Key names in any case; the type not exactly "MESSAGE" loads nothing
    // for the dialog, while the processor reads by the counts.
    ASSERT_NO_THROW(platform::WriteFileAtomic(path,
                                             "[main]\nagenttype=message\ntriggercount=2\nactioncount=1\n"
                                             "[header]\nENTRY1=Subject\n[value]\nentry1= spaced \n"
                                             "[actionparam1]\nentry1=PLAY SOUND\n"));
    EXPECT_EQ(store::ReadAgentType(path), "message");
    EXPECT_TRUE(store::LoadAgentFile(path).triggers.empty());
    const store::AgentDefinition agent = store::ReadAgentFile(path);
    ASSERT_EQ(agent.triggers.size(), 2u);
    EXPECT_EQ(agent.triggers[0], (AgentTrigger{"Subject", "", "spaced"}));
    EXPECT_EQ(agent.triggers[1], (AgentTrigger{}));  // missing entries read empty
    EXPECT_EQ(agent.actions, (std::vector<AgentAction>{{"PLAY SOUND", "", ""}}));
    EXPECT_EQ(store::ReadAgentType(dir.file("none.agent")), "");
}

TEST_F(StoreAgentFile, AMessageAgentIsWrittenKeyForKeyInItsOrder)
{
    store::WriteAgentFile(path, "Message", {{"Subject", "contains", "order"}, {"<Any Header>", "", "x"}},
                          {{"AUTO-REPLY", "thanks", ""}, {"DELAY THE AGENT", "5", ""}}, when);
    EXPECT_EQ(text(),
              "[MAIN]\n"
              "AgentType=MESSAGE\n"
              "AppVersion=.9999\n"
              "CreatedDateTime=03/04/26 07:08:09\n"
              "ModifiedDateTime=03/04/26 07:08:09\n"
              "CreateUser=\n"
              "ModifiedUser=\n"
              "TriggerCount=2\n"
              "ActionCount=2\n"
              "[HEADER]\nEntry1=Subject\nEntry2=<Any Header>\n"
              "[CONDITION]\nEntry1=contains\nEntry2=\n"
              "[VALUE]\nEntry1=order\nEntry2=x\n"
              "[ACTIONPARAM1]\nEntry1=AUTO-REPLY\nEntry2=DELAY THE AGENT\n"
              "[ACTIONPARAM2]\nEntry1=thanks\nEntry2=5\n"
              "[ACTIONPARAM3]\nEntry1=\nEntry2=\n");
}

TEST_F(StoreAgentFile, CountsReadLikeEveryOtherIniNumberAndStayBounded)
{
    // A hexadecimal count reads as the INI layer reads it.
    platform::WriteFileAtomic(path, "[MAIN]\nAgentType=MESSAGE\nTriggerCount=0x2\nActionCount=$1\n"
                                    "[HEADER]\nEntry2=From\n");
    store::AgentDefinition agent = store::ReadAgentFile(path);
    ASSERT_EQ(agent.triggers.size(), 2u);
    EXPECT_EQ(agent.triggers[1].header, "From");
    EXPECT_EQ(agent.actions.size(), 1u);

    // A damaged count neither stalls the processor nor exhausts memory.
    platform::WriteFileAtomic(path, "[MAIN]\nAgentType=MESSAGE\nTriggerCount=2147483647\nActionCount=-5\n"
                                    "[HEADER]\nEntry1=Subject\n");
    agent = store::ReadAgentFile(path);
    EXPECT_EQ(agent.triggers.size(), 1000u);
    EXPECT_EQ(agent.triggers[0].header, "Subject");
    EXPECT_TRUE(agent.actions.empty());
}

TEST_F(StoreAgentFile, AValueWithALineBreakWritesNothing)
{
    store::WriteAgentFile(path, "MESSAGE", {{"Subject", "contains", "old"}}, {}, when);
    const std::string before = text();
    EXPECT_THROW(store::WriteAgentFile(path, "MESSAGE", {{"Subject", "contains", "a\n[MAIN]\nAgentType=X"}}, {},
                                       when),
                 platform::IniFileError);
    EXPECT_EQ(text(), before);
}

TEST_F(StoreAgentFile, AReaderNeverSeesHalfAnAgent)
{
    // Two versions of one agent: three triggers valued "a", one valued "b".
    const std::vector<AgentTrigger> three(3, AgentTrigger{"Subject", "contains", "a"});
    const std::vector<AgentTrigger> one(1, AgentTrigger{"Subject", "contains", "b"});
    store::WriteAgentFile(path, "MESSAGE", three, {}, when);
    std::atomic<bool> done{false};
    std::atomic<int> mixed{0}, reads{0};
    std::thread reader([&] {
        while (!done) {
            const store::AgentDefinition agent = store::ReadAgentFile(path);
            ++reads;
            if (agent.type != "MESSAGE" || agent.triggers.empty())
                ++mixed;
            for (const AgentTrigger& t : agent.triggers)
                if (t.value != (agent.triggers.size() == 3 ? "a" : "b"))
                    ++mixed;
        }
    });
    for (int i = 0; i < 100; ++i)
        store::WriteAgentFile(path, "MESSAGE", i % 2 ? three : one, {}, when);
    while (reads < 20)
        std::this_thread::yield();
    done = true;
    reader.join();
    EXPECT_EQ(mixed, 0);
}

TEST(StoreAgentName, ValidNamesBecomeFileNames)
{
    EXPECT_TRUE(store::IsValidAgentName("Auto answer"));
    EXPECT_TRUE(store::IsValidAgentName("Réponse: 1*"));  // other characters a file can hold
    EXPECT_TRUE(store::IsValidAgentName(std::string(99, 'a')));
}

TEST(StoreAgentName, NamesThatCannotBeAFileOrAFieldAreRefused)
{
    for (const std::string& name :
         {std::string(), std::string("."), std::string(".."), std::string("a/b"), std::string("a\\b"),
          std::string("why?"), std::string("a\0b", 3), std::string("tab\there"), std::string("line\nbreak"),
          std::string(" lead"), std::string("trail "), std::string(100, 'a')}) {
        EXPECT_FALSE(store::AgentNameProblem(name).empty()) << name;
        EXPECT_THROW(store::AgentFilePath("/agents/", name), store::StoreError) << name;
    }
}

}  // namespace
