// Start-up and shut-down without a window: the settings read, the folders
// made, the fourteen tables opened in order, a missing table, and the close
// that leaves every file free.
#include "core_fixture.h"

#include "manager/core/manager_error.h"
#include "manager/core/manager_settings.h"
#include "manager/core/manager_tables.h"
#include "platform/ini_file.h"
#include "store/table_objects.h"
#include "tables/table.h"
#include "tests/support/home/opens_exclusively.h"

#include <filesystem>

namespace managertest {
namespace {

class StartupTables : public ManagerCoreTest {
protected:
    void SetUp() override
    {
        ManagerCoreTest::SetUp();
        store::CreateDataFolder(homeDir(), false);
    }
};

TEST_F(StartupTables, WithoutFoldersSectionTheDefaultsAreMadeAndWrittenBackButTemplates)
{
    const manager::StartupSettings startup = manager::ReadStartupSettings(settings, ras);
    EXPECT_EQ(startup.folders.messages, homeDir() + "messages/");
    EXPECT_EQ(startup.folders.database, homeDir());
    store::CreateManagerFolders(startup.folders);
    for (const char* sub : {"messages", "agents", "templates"})
        EXPECT_TRUE(std::filesystem::is_directory(homeDir() + sub)) << sub;

    manager::WriteShutdownSettings(settings, startup.folders);
    const platform::IniFile ini("tarsel.ini");
    EXPECT_EQ(ini.ReadString("Folders", "Messages", ""), homeDir() + "messages/");
    EXPECT_EQ(ini.ReadString("Folders", "Agents", ""), homeDir() + "agents/");
    EXPECT_EQ(ini.ReadString("Folders", "DataBase", ""), homeDir());
    EXPECT_FALSE(ini.ValueExists("Folders", "Templates"));
}

TEST_F(StartupTables, TheDialupEntryIsTakenUnlessItIsNone)
{
    writeSettings("[RAS]\nService=None\n");
    manager::ReadStartupSettings(settings, ras);
    EXPECT_EQ(ras.Service(), "");
    EXPECT_TRUE(rasErrors.empty());

    writeSettings("[RAS]\nService=Backup line\n");
    manager::ReadStartupSettings(settings, ras);
    EXPECT_EQ(ras.Service(), "Backup line");
}

TEST_F(StartupTables, FourteenTablesOpenSharedAndCloseFree)
{
    manager::ManagerTables tables;
    tables.PassStartupProperty();
    tables.SetDatabaseFolder(homeDir());
    tables.OpenInStartupOrder();
    ASSERT_EQ(store::ManagerOpenOrder().size(), 14u);
    for (const std::string& name : store::ManagerOpenOrder())
        EXPECT_TRUE(tables.IsOpen(name)) << name;
    EXPECT_FALSE(test_support::OpensExclusively(homeDir(), "Agents.dbf"));

    tables.CloseAtExit();
    for (const std::string& name : store::ManagerOpenOrder())
        EXPECT_FALSE(tables.IsOpen(name)) << name;
    for (const char* file : {"ORGS.DBF", "GROUPS.DBF", "NODES.DBF", "received.dbf", "PENDING.DBF", "sent.dbf",
                             "outbox.dbf", "rules.dbf", "Agents.dbf", "actions.DBF"})
        EXPECT_TRUE(test_support::OpensExclusively(homeDir(), file)) << file;
}

TEST_F(StartupTables, AMissingTableStopsTheOpeningThereAndCommandsOnItSaySo)
{
    std::filesystem::remove(homeDir() + "sent.dbf");
    manager::ManagerTables tables;
    tables.SetDatabaseFolder(homeDir());
    try {
        tables.OpenInStartupOrder();
        FAIL() << "a missing table opened";
    } catch (const manager::ManagerError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Table engine. Error : 10024 -- sent.dbf in " + homeDir() + ": No such file or directory");
    }

    // Open before it in the order, closed from it on.
    const auto& order = store::ManagerOpenOrder();
    const auto sent = std::find(order.begin(), order.end(), "TableSent");
    for (auto it = order.begin(); it != order.end(); ++it)
        EXPECT_EQ(tables.IsOpen(*it), it < sent) << *it;

    EXPECT_NO_THROW(tables.Require("TablePending"));
    try {
        tables.Require("TableAgents");
        FAIL() << "a closed table was handed out";
    } catch (const manager::ManagerError& error) {
        EXPECT_STREQ(error.what(), "The table Agents.dbf is not open.");
    }
    EXPECT_NO_THROW(tables.CloseAtExit());
}

}  // namespace
}  // namespace managertest
