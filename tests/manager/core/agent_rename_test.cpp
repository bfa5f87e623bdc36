// Renaming an agent without a window: the file and the attached-agent rows
// that name it move together, or neither moves.
#include "core_fixture.h"

#include <filesystem>
#include <stdexcept>

#include "manager/core/agent_rename.h"
#include "manager/core/manager_error.h"
#include "manager/core/manager_tables.h"
#include "manager/core/row_writing.h"
#include "store/folder_tree.h"
#include "store/table_layouts.h"
#include "tables/apollo.h"
#include "tables/table.h"
#include "tests/manager/accounts/table_rows.h"

namespace managertest {
namespace {

using accountstest::Rows;

class AgentRename : public ManagerCoreTest {
protected:
    std::string agents = dir.path() + "/agents/";
    manager::ManagerTables tables;

    void SetUp() override
    {
        ManagerCoreTest::SetUp();
        platform::ForceDirectories(agents);
        store::CreateDataFolder(homeDir(), false);
        tables.SetDatabaseFolder(homeDir());
        tables.OpenInStartupOrder();
    }

    void agentFile(const std::string& name) const
    {
        test_support::writeFile(agents + name + ".agent", "[MAIN]\nAgentType=INTERVAL\nWas=" + name + "\n");
    }
    void attach(const std::string& id, const std::string& account, const std::string& agent)
    {
        manager::WriteRow(tables.Table("TableAgents2"), manager::RowStart::Append, [&](TTable& row) {
            row.FieldByName("UNIQUE_ID").SetAsString(id);
            row.FieldByName("LINK_ID").SetAsString(account);
            row.FieldByName("AGENT").SetAsString(agent);
        });
    }
    // UNIQUE_ID and AGENT of every row, as another program reads them.
    Rows attachments() const { return accountstest::TableRows(homeDir(), store::kAgentsTable, {"UNIQUE_ID", "AGENT"}); }
    bool exists(const std::string& name) const { return platform::FileExists(agents + name + ".agent"); }

    // Two accounts run "Orders"; the other rows name other agents, one only
    // in another case (which the processor would never take for it).
    void ordersAttachedTwice()
    {
        agentFile("Orders");
        agentFile("Taken");
        attach("r1", "acc1", "Orders");
        attach("r2", "acc1", "orders");
        attach("r3", "acc2", "Orders");
        attach("r4", "acc2", "Orders Old");
    }
    const Rows untouched{{"r1", "Orders"}, {"r2", "orders"}, {"r3", "Orders"}, {"r4", "Orders Old"}};
};

TEST_F(AgentRename, EveryRowNamingTheAgentFollowsItsFileAndNoOtherRow)
{
    ordersAttachedTwice();
    // The selection stands on an attached agent whose history is shown.
    tables.Apollo("ApolloAgents2").GoToRecord(2);
    const manager::RenamedAgent renamed = manager::RenameAgent(tables, agents, "Orders.agent", "Sales Orders");
    EXPECT_EQ(renamed.fileName, "Sales Orders.agent");
    EXPECT_EQ(renamed.rows, 2);
    EXPECT_EQ(attachments(), (Rows{{"r1", "Sales Orders"}, {"r2", "orders"}, {"r3", "Sales Orders"},
                                   {"r4", "Orders Old"}}));
    EXPECT_FALSE(exists("Orders"));
    EXPECT_EQ(test_support::readFile(agents + "Sales Orders.agent"), "[MAIN]\nAgentType=INTERVAL\nWas=Orders\n");
    // Each row finds the file the processor would open for it.
    for (const auto& row : attachments()) {
        if (row[1] == "Sales Orders") {
            EXPECT_TRUE(platform::FileExists(store::AgentFilePath(agents, row[1])));
        }
    }
    EXPECT_EQ(tables.Table("TableAgents2").RecNo(), 2);

    // A change of case only is a rename too, and takes the rows along.
    EXPECT_EQ(manager::RenameAgent(tables, agents, "Sales Orders.agent", "SALES ORDERS").rows, 2);
    EXPECT_TRUE(exists("SALES ORDERS"));
    EXPECT_EQ(attachments()[2], (std::vector<std::string>{"r3", "SALES ORDERS"}));
}

TEST_F(AgentRename, ARenameTheFileCannotTakeChangesNoRow)
{
    ordersAttachedTwice();
    // Another agent's name, in any case.
    for (const char* name : {"Taken", "TAKEN"})
        EXPECT_THROW(manager::RenameAgent(tables, agents, "Orders.agent", name), manager::ManagerError) << name;
    // A name that could never be attached, with the check's own reason.
    try {
        manager::RenameAgent(tables, agents, "Orders.agent", "../Orders");
        ADD_FAILURE() << "renamed out of the folder";
    } catch (const manager::ManagerError& error) {
        EXPECT_NE(std::string(error.what()).find("\"/\""), std::string::npos) << error.what();
    }
    // The file is gone (another program removed it).
    std::filesystem::rename(agents + "Orders.agent", dir.path() + "/Orders.agent");
    EXPECT_THROW(manager::RenameAgent(tables, agents, "Orders.agent", "Sales"), manager::ManagerError);
    std::filesystem::rename(dir.path() + "/Orders.agent", agents + "Orders.agent");
    EXPECT_EQ(attachments(), untouched);
    EXPECT_TRUE(exists("Orders"));
    EXPECT_EQ(test_support::readFile(agents + "Taken.agent"), "[MAIN]\nAgentType=INTERVAL\nWas=Taken\n");
    EXPECT_FALSE(exists("Sales"));

    // Without the attachments' table the rows could not follow.
    tables.CloseAtExit();
    EXPECT_THROW(manager::RenameAgent(tables, agents, "Orders.agent", "Sales"), manager::ManagerError);
    EXPECT_TRUE(exists("Orders"));
}

TEST_F(AgentRename, ARowThatCannotBeWrittenPutsTheFileAndTheRowsBack)
{
    ordersAttachedTwice();
    // The second row's write fails (a lock, a full disk) after the file moved
    // and the first row was written.
    int posts = 0;
    tables.Table("TableAgents2").BeforePost = [&posts](TTable&) {
        if (++posts == 2)
            throw std::runtime_error("disk full");
    };
    try {
        manager::RenameAgent(tables, agents, "Orders.agent", "Sales Orders");
        ADD_FAILURE() << "no error";
    } catch (const manager::ManagerError& error) {
        EXPECT_STREQ(error.what(), manager::kAgentRenameFailure);
    }
    EXPECT_EQ(attachments(), untouched);
    EXPECT_TRUE(exists("Orders"));
    EXPECT_FALSE(exists("Sales Orders"));
    tables.Table("TableAgents2").BeforePost = nullptr;
}

}  // namespace
}  // namespace managertest
