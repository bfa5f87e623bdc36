// The shared settings file as the three programs read and write it.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/ini_file.h"
#include "platform/paths.h"
#include "store/folder_tree.h"
#include "store/settings.h"
#include "store_fixture.h"

namespace {

using storetest::StoreTest;
using store::Processor;
using store::Settings;

int countOf(const std::string& text, const std::string& part)
{
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

using StoreSettingsFile = StoreTest;

TEST_F(StoreSettingsFile, WithoutAFileEverythingHasItsDefault)
{
    const Settings settings;
    const std::string base = platform::ProgramDir();
    EXPECT_EQ(base, dir.path() + "/home/");
    const store::FolderSettings f = settings.ReadFolders();
    EXPECT_EQ(f.messages, base + "messages/");
    EXPECT_EQ(f.agents, base + "agents/");
    EXPECT_EQ(f.templates, base + "templates/");
    EXPECT_EQ(f.database, base);
    EXPECT_EQ(settings.RasService(), "None");
    EXPECT_EQ(settings.ConnectMethod(), "LAN");
    EXPECT_FALSE(settings.SoundsDisabled());
    EXPECT_TRUE(settings.AutoEnabled(Processor::Retriever));
    EXPECT_TRUE(settings.AutoEnabled(Processor::AgentProcessor));
    EXPECT_FALSE(platform::FileExists(configFile("tarsel.ini")));
}

TEST_F(StoreSettingsFile, StartAndExitWithoutFoldersSection)
{
    Settings settings;
    const store::FolderSettings f = settings.ReadFolders();
    store::CreateManagerFolders(f);
    EXPECT_TRUE(platform::DirectoryExists(f.messages));
    EXPECT_TRUE(platform::DirectoryExists(f.agents));
    EXPECT_TRUE(platform::DirectoryExists(f.templates));

    settings.WriteFoldersAtExit(f);
    const platform::IniFile ini(configFile("tarsel.ini"));
    EXPECT_EQ(ini.ReadString("Folders", "Messages", "?"), f.messages);
    EXPECT_EQ(ini.ReadString("Folders", "Agents", "?"), f.agents);
    EXPECT_EQ(ini.ReadString("Folders", "DataBase", "?"), f.database);
    EXPECT_FALSE(ini.ValueExists("Folders", "Templates"));
}

TEST_F(StoreSettingsFile, DataBaseAndDatabaseStayOneKey)
{
    Settings manager;
    store::FolderSettings f = manager.ReadFolders();
    f.database = "/srv/tables/";
    manager.WritePreferenceFolders(f);  // spelled "Database"
    f.database = "/srv/other/";
    manager.WriteFoldersAtExit(f);      // spelled "DataBase"
    const std::string text = platform::ReadWholeFile(configFile("tarsel.ini"));
    EXPECT_EQ(countOf(text, "atabase="), 1) << text;
    EXPECT_EQ(Settings().ReadFolders().database, "/srv/other/");
    // Only the preferences write the templates folder.
    EXPECT_EQ(countOf(text, "Templates="), 1);
}

TEST_F(StoreSettingsFile, ProcessorSwitchAndManagerFoldersSurviveEachOther)
{
    Settings manager, retriever, agents;
    store::FolderSettings f = manager.ReadFolders();
    f.messages = "/data/mail/";

    retriever.WriteAutoEnabled(Processor::Retriever, false);
    manager.WriteFoldersAtExit(f);
    agents.WriteAutoEnabled(Processor::AgentProcessor, false);
    EXPECT_FALSE(retriever.AutoEnabled(Processor::Retriever));
    EXPECT_FALSE(agents.AutoEnabled(Processor::AgentProcessor));
    EXPECT_EQ(agents.ReadFolders().messages, "/data/mail/");

    f.messages = "/data/mail2/";
    manager.WritePreferenceFolders(f);
    retriever.WriteAutoEnabled(Processor::Retriever, true);
    EXPECT_TRUE(retriever.AutoEnabled(Processor::Retriever));
    EXPECT_FALSE(agents.AutoEnabled(Processor::AgentProcessor));
    EXPECT_EQ(retriever.ReadFolders().messages, "/data/mail2/");
    // The switch is a Boolean written as "1" / "0" in each processor's own section.
    const platform::IniFile ini(configFile("tarsel.ini"));
    EXPECT_EQ(ini.ReadString("ProcessorSettings", "AutoEnabled", "?"), "1");
    EXPECT_EQ(ini.ReadString("AgentSettings", "AutoEnabled", "?"), "0");
}

TEST_F(StoreSettingsFile, WritersAtTheSameTimeLoseNothing)
{
    // The manager's batch and a processor's single key take the same lock,
    // so neither write puts back an older copy of the file: each writer
    // reads its own last value back, whatever the other did meanwhile.
    Settings manager, retriever;
    store::FolderSettings f = manager.ReadFolders();
    std::atomic<int> lost{0};
    std::thread folders([&] {
        for (int i = 0; i < 40; ++i) {
            f.messages = "/data/mail" + std::to_string(i) + "/";
            manager.WriteFoldersAtExit(f);
            if (manager.ReadFolders().messages != f.messages)
                ++lost;
        }
    });
    for (int i = 0; i < 40; ++i) {
        retriever.WriteAutoEnabled(Processor::Retriever, i % 2 == 0);
        if (retriever.AutoEnabled(Processor::Retriever) != (i % 2 == 0))
            ++lost;
    }
    folders.join();
    EXPECT_EQ(lost, 0);
    EXPECT_FALSE(retriever.AutoEnabled(Processor::Retriever));
    EXPECT_EQ(retriever.ReadFolders().messages, "/data/mail39/");
}

TEST_F(StoreSettingsFile, AnEmptyFolderSettingFallsBackAndIsReported)
{
    platform::IniFile ini("tarsel.ini");
    ini.WriteString("Folders", "Messages", "");
    ini.WriteString("Folders", "Agents", "/data/agents/");
    std::vector<std::string> notices;
    const store::FolderSettings f = Settings().ReadFolders(&notices);
    EXPECT_EQ(f.messages, platform::ProgramDir() + "messages/");
    EXPECT_EQ(f.agents, "/data/agents/");
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].find("Messages"), std::string::npos);
    EXPECT_NO_THROW(store::CreateManagerFolders(Settings::DefaultFolders()));
    // The stored text is not rewritten by reading it.
    EXPECT_TRUE(ini.ValueExists("Folders", "Messages"));
    EXPECT_EQ(ini.ReadString("Folders", "Messages", "?"), "");
}

TEST_F(StoreSettingsFile, ValuesThatWouldBreakTheFileAreRefused)
{
    Settings settings;
    settings.WriteFoldersAtExit(settings.ReadFolders());
    const std::string before = platform::ReadWholeFile(configFile("tarsel.ini"));
    store::FolderSettings f = settings.ReadFolders();
    f.templates = "/tmp/x\n[RAS]\nService=evil";
    EXPECT_THROW(settings.WritePreferenceFolders(f), platform::IniFileError);
    // Nothing of the batch was written.
    EXPECT_EQ(platform::ReadWholeFile(configFile("tarsel.ini")), before);
}

TEST_F(StoreSettingsFile, FoldersWithoutTheirSeparatorAreReadAndStoredWithIt)
{
    // Written by hand, or by an older build that stored them as typed.
    platform::ForceDirectories(platform::ConfigDir());
    test_support::writeFile(configFile("tarsel.ini"), "[Folders]\nMessages=/srv/mail\nAgents=/srv/agents\n"
                                                       "DataBase=/srv/data\nTemplates=/srv/templates/\n");
    Settings settings;
    const store::FolderSettings f = settings.ReadFolders();
    EXPECT_EQ(f.messages, "/srv/mail/");
    EXPECT_EQ(f.agents, "/srv/agents/");
    EXPECT_EQ(f.database, "/srv/data/");
    EXPECT_EQ(f.templates, "/srv/templates/");

    // Both writers store the separator, whatever the caller holds.
    settings.WriteFoldersAtExit({"/a/m", "/a/g", "/a/t", "/a/d"});
    const platform::IniFile ini(configFile("tarsel.ini"));
    EXPECT_EQ(ini.ReadString("Folders", "Messages", "?"), "/a/m/");
    EXPECT_EQ(ini.ReadString("Folders", "Agents", "?"), "/a/g/");
    EXPECT_EQ(ini.ReadString("Folders", "DataBase", "?"), "/a/d/");
    settings.WritePreferenceFolders({"/b/m", "/b/g", "/b/t", "/b/d"});
    EXPECT_EQ(ini.ReadString("Folders", "Templates", "?"), "/b/t/");
    EXPECT_EQ(ini.ReadString("Folders", "Database", "?"), "/b/d/");
    // An empty folder is no folder: it does not become the root.
    EXPECT_EQ(store::FolderWithSeparator(""), "");
}

using StoreHandoff = StoreTest;

TEST_F(StoreHandoff, AllProgramsBuildTheSamePaths)
{
    // The manager stores folders typed with and without the separator.
    Settings manager;
    store::FolderSettings f = manager.ReadFolders();
    f.messages = dir.path() + "/mail";
    f.agents = dir.path() + "/agents/";
    manager.WritePreferenceFolders(f);

    const store::FolderSettings retriever = Settings().ReadFolders();
    const store::FolderSettings agents = Settings().ReadFolders();
    EXPECT_EQ(retriever.messages, dir.path() + "/mail/");  // stored with its separator
    const std::string id = "53742090726030442";
    const std::string padded = id + "   ";  // as a fixed-width field gives it
    EXPECT_EQ(store::PendingFolder(retriever.messages, id), dir.path() + "/mail/" + id + "/Pending/");
    EXPECT_EQ(store::PendingFolder(agents.messages, padded), store::PendingFolder(retriever.messages, id));
    EXPECT_EQ(store::PendingFolder(dir.path() + "/mail/", id), store::PendingFolder(retriever.messages, id));
    EXPECT_EQ(store::ReceivedFolder(agents.messages, padded), dir.path() + "/mail/" + id + "/In/");
    EXPECT_EQ(store::OutFolder(agents.messages, id), dir.path() + "/mail/" + id + "/Out/");
    EXPECT_EQ(store::SentFolder(agents.messages, id), dir.path() + "/mail/" + id + "/Sent/");
    EXPECT_EQ(store::AgentFilePath(agents.agents, "Auto answer"), dir.path() + "/agents/Auto answer.agent");
    EXPECT_EQ(store::AgentFilePath(dir.path() + "/agents", "Auto answer"),
              store::AgentFilePath(agents.agents, "Auto answer"));
    EXPECT_EQ(store::TemplateFile(dir.path() + "/t", "Thanks"), dir.path() + "/t/Thanks.eml");
    EXPECT_EQ(store::TableFile(retriever.database, "NODES.DBF"), platform::ProgramDir() + "NODES.DBF");
}

}  // namespace
