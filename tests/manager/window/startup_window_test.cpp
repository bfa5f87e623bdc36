// The program block and the main window's start-up and close: the tables
// opened, a missing or damaged table reported before the status window
// exists, the splash never over a box, and the folder keys written at close.
#include "window_fixture.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include <filesystem>

#include "manager/dialogs/tfrm_status.h"
#include "manager/dialogs/tsplash_form.h"
#include "manager/main/program_block.h"
#include "manager/main/tfrm_main.h"
#include "platform/ini_file.h"
#include "store/table_objects.h"
#include "tables/table.h"
#include "tests/support/home/opens_exclusively.h"
#include "ui_tfrm_main.h"

namespace managertest {
namespace {

using manager::Post32Program;
using manager::TfrmMain;

class Startup : public WindowTest {};

TEST_F(Startup, OnAFreshDataFolderEveryTableOpensAndNoBoxComes)
{
    Post32Program program;
    program.Show();
    QApplication::processEvents();
    for (const std::string& name : store::ManagerOpenOrder())
        EXPECT_TRUE(program.frmMain().Tables().IsOpen(name)) << name;
    EXPECT_TRUE(boxes.empty()) << boxTexts().front();
    EXPECT_EQ(program.frmMain().ErrorCount(), 0);
    EXPECT_EQ(program.frmMain().windowTitle().toStdString(), "Tarsel Configuration Manager");
    EXPECT_EQ(QApplication::applicationDisplayName().toStdString(), "Tarsel Mail Management System");
    EXPECT_EQ(program.frmMain().StatusText(), "Tarsel Configuration Manager");
    // Showing the main window put the splash away.
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(program.Splash(), nullptr);
    for (const char* folder : {"messages", "agents", "templates"})
        EXPECT_TRUE(std::filesystem::is_directory(homeDir() + folder)) << folder;
}

TEST_F(Startup, ClosingWritesTheThreeFolderKeysAndFreesTheTables)
{
    Post32Program program;
    program.Show();
    EXPECT_FALSE(test_support::OpensExclusively(homeDir(), "NODES.DBF"));
    QSignalSpy closed(&program.frmMain(), &TfrmMain::closed);
    program.frmMain().ui()->Exit1->trigger();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_FALSE(program.frmMain().isVisible());

    const platform::IniFile ini("tarsel.ini");
    EXPECT_EQ(ini.ReadString("Folders", "Messages", ""), homeDir() + "messages/");
    EXPECT_EQ(ini.ReadString("Folders", "Agents", ""), homeDir() + "agents/");
    EXPECT_EQ(ini.ReadString("Folders", "DataBase", ""), homeDir());
    EXPECT_FALSE(ini.ValueExists("Folders", "Templates"));
    for (const char* file : {"ORGS.DBF", "GROUPS.DBF", "NODES.DBF", "received.dbf", "PENDING.DBF", "sent.dbf",
                             "outbox.dbf", "rules.dbf", "Agents.dbf", "actions.DBF"})
        EXPECT_TRUE(test_support::OpensExclusively(homeDir(), file)) << file;
    // A second close (the program's end after a signal) writes nothing twice.
    program.frmMain().FormClose();
    EXPECT_EQ(closed.count(), 1);
}

TEST_F(Startup, AMissingTableIsABoxBeforeTheStatusWindowAndAnErrorLineAfter)
{
    std::filesystem::remove(homeDir() + "sent.dbf");
    bool splashShownUnderABox = false;
    onBox = [&](const manager::BoxRequest&) {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (qobject_cast<manager::TSplashForm*>(window) && window->isVisible())
                splashShownUnderABox = true;
    };
    Post32Program program;
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_FALSE(splashShownUnderABox);
    EXPECT_NE(boxTexts()[0].find("sent.dbf"), std::string::npos) << boxTexts()[0];
    EXPECT_EQ(boxes[0].kind, manager::BoxKind::Information);
    EXPECT_EQ(program.frmMain().ErrorCount(), 1);
    EXPECT_TRUE(program.frmMain().Tables().IsOpen("TableOut") == false);
    EXPECT_TRUE(program.frmMain().Tables().IsOpen("TablePending"));
    // A folder that lost one table is not taken for a first start.
    EXPECT_FALSE(platform::FindIgnoreCase(homeDir() + "sent.dbf"));

    // The window still opens; building the tree on a closed table is an
    // error line in the status window now, not a crash.
    program.Show();
    QApplication::processEvents();
    EXPECT_TRUE(program.frmMain().isVisible());
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(program.frmMain().ErrorCount(), 2);
    manager::TfrmStatus& status = program.frmStatus();
    EXPECT_TRUE(status.isVisible());
    EXPECT_TRUE(status.DetailsOpen());
    ASSERT_FALSE(status.LogLines().empty());
    EXPECT_NE(status.LogLines()[0].find(" -- Error-The table Agents.dbf is not open."), std::string::npos)
        << status.LogLines()[0];
    program.frmMain().close();
}

TEST_F(Startup, TheBoxOfATableThatIsNoTableNamesItsFolderAndWhy)
{
    std::filesystem::resize_file(homeDir() + "ORGS.DBF", 100);
    Post32Program program;
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxTexts()[0], "Table engine. Error : 10024 -- ORGS.DBF in " + homeDir() + ": not a table: header truncated");
    EXPECT_FALSE(program.frmMain().Tables().IsOpen("TableOrgs"));
    program.frmMain().close();
}

TEST_F(Startup, ADataFolderWithoutTablesGetsThemSaysSoAndEveryTableOpens)
{
    const std::string data = dir.path() + "/new data/";
    writeSettings("[Folders]\nDataBase=" + data + "\n");
    {
        Post32Program program;
        EXPECT_TRUE(boxes.empty()) << boxTexts().front();
        const auto lines = program.frmStatus().LogLines();
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_NE(lines[0].find(" -- First start: made the empty tables in " + data), std::string::npos) << lines[0];
        for (const std::string& name : store::ManagerOpenOrder())
            EXPECT_TRUE(program.frmMain().Tables().IsOpen(name)) << name;
        program.Show();
        QApplication::processEvents();
        EXPECT_EQ(program.frmMain().ErrorCount(), 0);
        screenshot(program.frmMain(), "post32-first-start");
        program.frmMain().close();
    }

    // Started again, it finds them.
    Post32Program again;
    EXPECT_TRUE(again.frmStatus().LogLines().empty());
    EXPECT_TRUE(again.frmMain().Tables().IsOpen("TableAgentActions"));
    again.frmMain().close();
}

TEST_F(Startup, LinesLoggedBeforeTheStatusWindowExistsAreInIt)
{
    writeSettings("[Folders]\nAgents=\n");
    Post32Program program;
    const auto lines = program.frmStatus().LogLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find(" -- The Agents folder setting is empty; using "), std::string::npos) << lines[0];
}

TEST_F(Startup, ASplashClosedByAClickBeforeTheWindowShowsIsNoMatter)
{
    Post32Program program;
    ASSERT_NE(program.Splash(), nullptr);
    QTest::mouseClick(program.Splash(), Qt::LeftButton);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(program.Splash(), nullptr);
    program.Show();
    QApplication::processEvents();
    EXPECT_TRUE(program.frmMain().isVisible());
    EXPECT_EQ(program.frmMain().ErrorCount(), 0);
}

TEST_F(Startup, AFolderThatCannotBeMadeEndsStartUpAndLeavesTheKeysAlone)
{
    // A file where the messages folder should be.
    test_support::writeFile(dir.path() + "/blocker", "x");
    writeSettings("[Folders]\nMessages=" + dir.path() + "/blocker/messages/\n");
    Post32Program program;
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxTexts()[0].find("Unable to create directory"), std::string::npos) << boxTexts()[0];
    EXPECT_FALSE(program.frmMain().Tables().IsOpen("TableOrgs"));
    program.frmMain().close();
    const platform::IniFile ini("tarsel.ini");
    EXPECT_EQ(ini.ReadString("Folders", "Messages", ""), dir.path() + "/blocker/messages/");
}

}  // namespace
}  // namespace managertest
