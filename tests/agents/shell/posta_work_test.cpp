// posta's work on the shell, in-process: a single pass shows its count and
// the last agent's trigger results in the status window, and sounds never
// hold the pass up.
#include "agents/posta_work.h"
#include "platform/qt/sound_player.h"
#include "fixtures/agent_fixture.h"

#include "controls/qt_text.h"
#include "platform/files.h"
#include "retriever/shell/processor_shell.h"
#include "retriever/shell/tfrm_main.h"
#include "store/data_folder.h"
#include "store/folder_tree.h"
#include "store/table_layouts.h"
#include "tables/apollo_env.h"
#include "tables/table.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wave_file.h"
#include "ui_tfrm_main.h"
#include "xbase/sx.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

void appendRow(const std::string& folder, const char* file, const std::vector<std::pair<const char*, std::string>>& fields)
{
    TApolloEnv env;
    env.SetDeleted(true);
    TTable table;
    table.DatabaseName = folder;
    table.TableName = file;
    table.TableType = ttSXFOX;
    table.Open();
    table.Append();
    for (const auto& [name, value] : fields)
        table.FieldByName(name).SetAsString(value);
    table.Post();
    table.Close();
    sx_SetDeleted(0);
}

TEST(PostaWork, SinglePassShowsPassCountAndTriggerResults)
{
    test_support::TempDir dir("pw");
    const std::string home = dir.path() + "/home/", messages = dir.path() + "/messages/",
                      agentsFolder = dir.path() + "/agents/";
    ::setenv("TARSEL_CONFIG_DIR", (dir.path() + "/config").c_str(), 1);
    ::setenv("TARSEL_HOME", home.c_str(), 1);
    store::CreateDataFolder(home, false);
    platform::ForceDirectories(dir.path() + "/config");
    test_support::writeFile(dir.path() + "/config/tarsel.ini",
                            "[Folders]\nMessages=" + messages + "\nAgents=" + agentsFolder + "\n");
    appendRow(home, store::kNodesTable, {{"UNIQUE_ID", "acc"}, {"NODE", "Desk"}});
    appendRow(home, store::kAgentsTable, {{"UNIQUE_ID", "at1"}, {"LINK_ID", "acc"}, {"AGENT", "Mixed"}});
    platform::ForceDirectories(agentsFolder);
    store::WriteAgentFile(store::AgentFilePath(agentsFolder, "Mixed"), "MESSAGE",
                          {{"Subject", "contains", "hello"}, {"Subject", "contains", "nothing"}}, {}, platform::Now());
    platform::ForceDirectories(store::PendingFolder(messages, "acc"));
    test_support::writeFile(store::PendingFolder(messages, "acc") + "a.eml", agents_test::MailText("<a@x>", "hello"));

    {
        shell::ProcessorShell sh(shell::AgentProcessorProfile(),
                                 [](shell::TfrmMain& m) { return std::make_unique<agents::AgentWork>(m); });
        sh.Start({"/SINGLEPASS"});
        ASSERT_TRUE(sh.Ended());
        Ui::TfrmMain* ui = sh.FrmMain().ui();
        EXPECT_EQ(QStringToBytes(ui->lblScanPasses->text()), "1 Total Scan Passes");
        ASSERT_EQ(ui->lstTriggeredArray->count(), 2);
        EXPECT_EQ(QStringToBytes(ui->lstTriggeredArray->item(0)->text()), "TRUE");
        EXPECT_EQ(QStringToBytes(ui->lstTriggeredArray->item(1)->text()), "FALSE");
        EXPECT_EQ(sh.FrmMain().State().ScanPasses, 1);
        const auto lines = sh.FrmMain().LogLines();
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [](const std::string& l) {
            return l.find(" -- Processing message a.eml") != std::string::npos;
        }));
    }
    EXPECT_TRUE(platform::FindFiles(store::PendingFolder(messages, "acc"), "*.eml").empty());
    ::unsetenv("TARSEL_CONFIG_DIR");
    ::unsetenv("TARSEL_HOME");
}

TEST(SoundPlayer, MissingFilesAndRealOnesNeverBlock)
{
    test_support::TempDir dir("snd");
    const std::string wav = dir.file("ding.wav");
    test_support::writeFile(wav, test_support::waveFile());
    platform::SoundPlayer player;
    player.play(dir.file("none.wav"));
    player.play(wav);
    player.play(wav);  // replaces the one that may still play
    SUCCEED();
}

}  // namespace
