// Start-up and exit of a processor: first start, the On/Off switch kept in
// the settings file, the command line, the log kept across restarts.

#include <QAction>
#include <QDir>
#include <QLabel>

#include <algorithm>

#include "platform/files.h"
#include "platform/ini_file.h"
#include "retriever/shell/tdm.h"
#include "retriever/shell/tform1.h"
#include "shell_fixture.h"
#include "tables/table.h"
#include "ui_tfrm_main.h"

using shell::AgentProcessorProfile;
using shell::RetrieverProfile;

namespace shelltest {

namespace {

bool endsWith(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

TEST_F(ShellTest, FirstStartWithoutSettingsFile)
{
    ASSERT_FALSE(platform::FileExists(settingsFile()));
    auto sh = makeShell(RetrieverProfile());
    sh->Start({});
    shell::TfrmMain& main = sh->FrmMain();

    EXPECT_TRUE(main.State().ProcessingEnabled);
    ASSERT_EQ(main.LogLines().size(), 1u);
    EXPECT_TRUE(endsWith(main.LogLines()[0], " -- Service Started"));
    EXPECT_EQ(main.ui()->lblOnOff->text().toStdString(), "Mail Processor On");
    EXPECT_TRUE(sh->Form1().S1->isChecked());
    EXPECT_FALSE(sh->Form1().S2->isChecked());
    // the default folders under the program folder, made at once
    EXPECT_EQ(main.State().MessagesFolder, homeDir() + "messages/");
    EXPECT_TRUE(platform::DirectoryExists(homeDir() + "messages"));
    EXPECT_TRUE(platform::DirectoryExists(homeDir() + "agents"));
    EXPECT_EQ(main.ui()->lblmessagespath->text().toStdString(), homeDir() + "messages/");
    // the log file exists from the start, not only at exit
    EXPECT_TRUE(platform::FileExists(homeDir() + "postproc.log"));
    EXPECT_TRUE(work->socketsLoaded);
    EXPECT_TRUE(sh->DM().Table("TableNodes").Active());
    EXPECT_FALSE(sh->DM().Table("TableOrgs").Active());
    EXPECT_TRUE(main.Timer()->isActive());
    EXPECT_EQ(main.Timer()->interval(), 5000);
    EXPECT_FALSE(sh->Ended());
}

TEST_F(ShellTest, OnOffToggleIsWrittenAtOnceAndReadAtTheNextStart)
{
    {
        auto sh = makeShell(RetrieverProfile());
        sh->Start({});
        // "Start" while on switches off: both items toggle
        sh->Form1().S1->trigger();
        EXPECT_FALSE(sh->FrmMain().State().ProcessingEnabled);
        EXPECT_TRUE(endsWith(sh->FrmMain().LogLines()[0], " -- Service Terminated by user"));
        EXPECT_TRUE(sh->Form1().S2->isChecked());
        EXPECT_FALSE(sh->Form1().S1->isChecked());
        EXPECT_EQ(sh->FrmMain().ui()->lblOnOff->text().toStdString(), "Mail Processor Off");
        EXPECT_EQ(platform::IniFile(settingsFile()).ReadString("ProcessorSettings", "AutoEnabled", "?"), "0");
    }
    {
        auto sh = makeShell(RetrieverProfile());
        sh->Start({});
        EXPECT_FALSE(sh->FrmMain().State().ProcessingEnabled);
        EXPECT_TRUE(sh->Form1().S2->isChecked());
        // starting switched off logs nothing new
        EXPECT_TRUE(endsWith(sh->FrmMain().LogLines()[0], " -- Service Terminated by user"));
        sh->FrmMain().ui()->Button1->click();
        EXPECT_TRUE(sh->FrmMain().State().ProcessingEnabled);
        EXPECT_TRUE(endsWith(sh->FrmMain().LogLines()[0], " -- Service Started"));
    }
    EXPECT_EQ(platform::IniFile(settingsFile()).ReadString("ProcessorSettings", "AutoEnabled", "?"), "1");
    // the agent processor has its own switch
    auto agents = makeShell(AgentProcessorProfile());
    agents->Start({});
    agents->FrmMain().Button1Click();
    EXPECT_EQ(platform::IniFile(settingsFile()).ReadString("AgentSettings", "AutoEnabled", "?"), "0");
    EXPECT_EQ(platform::IniFile(settingsFile()).ReadString("ProcessorSettings", "AutoEnabled", "?"), "1");
    EXPECT_EQ(agents->FrmMain().ui()->lblOnOff->text().toStdString(), "Agent Processor Off");
}

TEST_F(ShellTest, SinglePassFollowsTheSwitchInTheRetrieverOnly)
{
    platform::IniFile(settingsFile()).WriteBool("ProcessorSettings", "AutoEnabled", false);
    platform::IniFile(settingsFile()).WriteBool("AgentSettings", "AutoEnabled", false);
    {
        auto sh = makeShell(RetrieverProfile());
        sh->Start({"/singlepass-now"});  // eleven characters compared, any case
        EXPECT_TRUE(sh->Ended());
        EXPECT_EQ(sh->ExitCode(), 0);
        EXPECT_EQ(work->passes, 0);
        EXPECT_TRUE(endsWith(sh->FrmMain().LogLines()[0], " -- Mail retriever running in single pass mode."));
        EXPECT_FALSE(sh->FrmMain().Timer()->isActive());
        EXPECT_FALSE(sh->DM().Table("TableNodes").Active());
        EXPECT_EQ(sh->Exec(), 0);  // no message loop after the end
    }
    {
        auto sh = makeShell(AgentProcessorProfile());
        sh->Start({"/SINGLEPASS"});
        EXPECT_TRUE(sh->Ended());
        EXPECT_EQ(work->passes, 1);
        EXPECT_FALSE(sh->FrmMain().State().DebugMode);
        EXPECT_TRUE(endsWith(sh->FrmMain().LogLines()[0], " -- Running in single pass mode."));
    }
    platform::IniFile(settingsFile()).WriteBool("ProcessorSettings", "AutoEnabled", true);
    auto sh = makeShell(RetrieverProfile());
    sh->Start({"/SINGLEPASS"});
    EXPECT_EQ(work->passes, 1);
    EXPECT_TRUE(sh->Ended());
}

TEST_F(ShellTest, UnknownArgumentIsLoggedWithoutABoxAndStartUpGoesOn)
{
    auto sh = makeShell(RetrieverProfile());
    sh->Start({"/fetch", "/SINGLEPASS"});  // only the first argument counts
    const auto lines = sh->FrmMain().LogLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(endsWith(lines[0], " -- Command-line option \"/fetch\" not understood"));
    EXPECT_FALSE(sh->Ended());
    EXPECT_TRUE(sh->FrmMain().Timer()->isActive());

    // the agent processor ignores what it does not know, silently
    sh.reset();
    auto agents = makeShell(AgentProcessorProfile());
    agents->Start({"/fetch"});
    EXPECT_TRUE(endsWith(agents->FrmMain().LogLines()[0], " -- Service Started"));
}

TEST_F(ShellTest, DebugSwitchOfTheAgentProcessor)
{
    auto sh = makeShell(AgentProcessorProfile());
    sh->Start({"/debug"});
    shell::TfrmMain& main = sh->FrmMain();
    EXPECT_TRUE(main.State().DebugMode);
    EXPECT_TRUE(endsWith(main.LogLines()[0], " -- Running in debug mode."));
    main.SendtoLog("MARK1", 9);
    EXPECT_EQ(main.LogLines()[0], "DEBUGMESSAGE -- MARK1");
    main.SendtoLog("status only", 5);
    EXPECT_EQ(main.LogLines()[0], "DEBUGMESSAGE -- MARK1");
    EXPECT_EQ(main.StatusText(), "status only");
    main.State().DebugMode = false;
    main.SendtoLog("MARK2", 9);
    EXPECT_EQ(main.LogLines()[0], "DEBUGMESSAGE -- MARK1");

    // the retriever logs every level
    sh.reset();
    auto retriever = makeShell(RetrieverProfile());
    retriever->Start({"/D"});
    EXPECT_TRUE(endsWith(retriever->FrmMain().LogLines()[0], " -- Command-line option \"/D\" not understood"));
    retriever->FrmMain().SendtoLog("any level", 9);
    EXPECT_TRUE(endsWith(retriever->FrmMain().LogLines()[0], " -- any level"));
}

TEST_F(ShellTest, LogIsKeptAcrossRestartsNewestLineOnTop)
{
    {
        auto sh = makeShell(RetrieverProfile());
        sh->Start({});
        sh->FrmMain().SendtoLog("first run \xC3\xA9t\xC3\xA9 {x}");
        sh->Form1().close();
    }
    const std::string saved = platform::ReadWholeFile(homeDir() + "postproc.log");
    EXPECT_EQ(saved.rfind("{\\rtf1", 0), 0u);
    {
        auto sh = makeShell(RetrieverProfile());
        sh->Start({});
        const auto lines = sh->FrmMain().LogLines();
        ASSERT_EQ(lines.size(), 3u);
        EXPECT_TRUE(endsWith(lines[0], " -- Service Started"));
        EXPECT_TRUE(endsWith(lines[1], " -- first run \xC3\xA9t\xC3\xA9 {x}"));
        EXPECT_TRUE(endsWith(lines[2], " -- Service Started"));
    }
    // a log file in plain text (or damaged) still loads
    test_support::writeFile(homeDir() + "postproc.log", "old line\n{\\rtf1 not really");
    auto sh = makeShell(RetrieverProfile());
    sh->Start({});
    const auto lines = sh->FrmMain().LogLines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[1], "old line");
}

TEST_F(ShellTest, CloseEndsTheProgramInOrder)
{
    auto sh = makeShell(RetrieverProfile());
    sh->Start({});
    // the status window comes and goes without ending anything
    sh->FrmMain().show();
    sh->FrmMain().close();
    EXPECT_FALSE(sh->Ended());
    sh->Form1().C1->trigger();
    EXPECT_TRUE(sh->Ended());
    EXPECT_EQ(sh->FrmMain().LogLines()[0].find("Error-"), std::string::npos);
    EXPECT_FALSE(sh->FrmMain().Timer()->isActive());
    EXPECT_FALSE(sh->DM().Table("TableNodes").Active());
    EXPECT_FALSE(sh->DM().Table("TableRules").Active());
    // the retriever's pending table closes with the data module
    EXPECT_TRUE(sh->DM().Table("TablePending").Active());
    EXPECT_TRUE(platform::applicationTerminating());
}

TEST_F(ShellTest, CloseDuringAPassClosesTheTablesUnderIt)
{
    auto sh = makeShell(RetrieverProfile());
    sh->Start({});
    work->during = [&] {
        sh->Form1().C1->trigger();  // chosen from the tray while the pass pumps events
        sh->DM().Table("TableNodes").First();
    };
    sh->FrmMain().TimerTick();
    EXPECT_TRUE(sh->Ended());
    EXPECT_NE(sh->FrmMain().LogLines()[0].find(" -- Error-"), std::string::npos);
    EXPECT_NE(sh->FrmMain().LogLines()[0].find("closed dataset"), std::string::npos);
    EXPECT_FALSE(sh->FrmMain().Timer()->isActive());
}

TEST_F(ShellTest, StartUpFailureIsLoggedAndEndsOnlyASinglePass)
{
    // A data folder that lost one table: nothing is made in its place.
    const std::string broken = dir.path() + "/broken/";
    store::CreateDataFolder(broken, false);
    ASSERT_TRUE(platform::DeleteFile(broken + "rules.dbf"));
    platform::IniFile(settingsFile()).WriteString("Folders", "DataBase", broken);
    {
        auto sh = makeShell(RetrieverProfile());
        sh->Start({"/fetch"});
        // the command line is not reached; the program runs on
        EXPECT_FALSE(sh->Ended());
        EXPECT_NE(sh->FrmMain().LogLines()[0].find(" -- Error-"), std::string::npos);
        EXPECT_TRUE(sh->FrmMain().Timer()->isActive());
    }
    auto sh = makeShell(RetrieverProfile());
    sh->Start({"/SINGLEPASS"});
    EXPECT_TRUE(sh->Ended());
    EXPECT_EQ(sh->ExitCode(), 1);
    EXPECT_EQ(work->passes, 0);
    EXPECT_FALSE(platform::FindIgnoreCase(broken + "rules.dbf"));
}

TEST_F(ShellTest, ADataFolderWithoutTablesGetsThemAtTheFirstStartWhichGoesOn)
{
    for (const shell::ProcessorProfile& profile : {RetrieverProfile(), AgentProcessorProfile()}) {
        const std::string data = dir.path() + "/new-" + profile.logFileName + "/";
        platform::IniFile(settingsFile()).WriteString("Folders", "DataBase", data);
        const std::string made = " -- First start: made the empty tables in " + data;
        {
            auto sh = makeShell(profile);
            sh->Start({"/SINGLEPASS"});
            EXPECT_TRUE(sh->Ended()) << profile.logFileName;
            EXPECT_EQ(sh->ExitCode(), 0) << profile.logFileName;
            EXPECT_EQ(work->passes, 1) << profile.logFileName;
            const auto lines = sh->FrmMain().LogLines();
            EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return endsWith(l, made); }),
                      1)
                << profile.logFileName;
            EXPECT_TRUE(store::DataFolderHasTables(data));
        }
        // The next start finds them and says nothing of it.
        auto sh = makeShell(profile);
        sh->Start({"/SINGLEPASS"});
        EXPECT_EQ(sh->ExitCode(), 0) << profile.logFileName;
        const auto lines = sh->FrmMain().LogLines();
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return endsWith(l, made); }), 1)
            << profile.logFileName;
    }
}

TEST_F(ShellTest, DialupServiceIsHandedOnUnlessNone)
{
    platform::IniFile(settingsFile()).WriteString("RAS", "Service", "office");
    auto sh = makeShell(RetrieverProfile());
    sh->Start({});
    EXPECT_EQ(work->service, "office");
    sh.reset();
    platform::IniFile(settingsFile()).WriteString("RAS", "Service", "None");
    sh = makeShell(RetrieverProfile());
    sh->Start({});
    EXPECT_EQ(work->service, "");
}

}  // namespace shelltest
