// Re-index, compress and erase on the manager's tables: the tags as an
// independent reader sees them, deleted rows gone, and a table another
// process holds reported with every table open again.
#include "accounts_fixture.h"

#include <csignal>
#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

#include "manager/core/account_tree.h"
#include "manager/core/manager_error.h"
#include "manager/core/restriction_commands.h"
#include "manager/core/table_maintenance.h"
#include "platform/files.h"
#include "store/table_layouts.h"
#include "store/table_objects.h"

namespace accountstest {
namespace {

const char* const kTagScript = R"(use XBase::Index;
my ($file) = @ARGV;
my $first = XBase::Index->new($file, type => "C") or die XBase::Index->errstr;
for my $tag (@{$first->{tags}}) {
  my $idx = XBase::Index->new($file, tag => $tag, type => "C") or die XBase::Index->errstr;
  print "$tag|$idx->{key_string}|", ($idx->{index_options} & 1 ? "unique" : ""), "\n";
}
)";

// "TAG|EXPRESSION|unique" lines of a compound index, read by Perl's XBase::Index.
std::set<std::string> tagsOf(const std::string& folder, const std::string& cdx)
{
    const std::string script = folder + "tags.pl";
    std::ofstream(script) << kTagScript;
    const auto path = platform::FindIgnoreCase(folder + cdx + ".cdx");
    std::set<std::string> out;
    if (!path)
        return out;
    FILE* pipe = popen(("perl " + script + " " + *path + " 2>&1").c_str(), "r");
    char line[512];
    while (pipe && std::fgets(line, sizeof line, pipe)) {
        std::string text(line);
        if (!text.empty() && text.back() == '\n')
            text.pop_back();
        out.insert(text);
    }
    if (pipe)
        pclose(pipe);
    return out;
}

std::set<std::string> expectedTags(const store::TableLayout& layout)
{
    std::set<std::string> out;
    for (const store::TagLayout& tag : layout.tags)
        out.insert(tag.name + "|" + tag.name + "|" + (tag.unique ? "unique" : ""));
    return out;
}

// The record count in a table file's header, deleted rows included.
unsigned storedRecords(const std::string& folder, const char* file)
{
    std::ifstream in(*platform::FindIgnoreCase(folder + file), std::ios::binary);
    unsigned char header[8] = {};
    in.read(reinterpret_cast<char*>(header), sizeof header);
    return header[4] | header[5] << 8 | header[6] << 16 | static_cast<unsigned>(header[7]) << 24;
}

class Maintenance : public AccountsCoreTest {
protected:
    void fill()
    {
        const int folder = accounts().NewFolder("Office");
        for (const char* name : {"One", "Two", "Three"})
            accounts().NewAccount(folder, sampleAccount(name));
    }
    bool allOpen()
    {
        for (const std::string& name : store::ManagerOpenOrder())
            if (!tables->IsOpen(name))
                return false;
        return true;
    }
};

TEST_F(Maintenance, ReIndexTwiceLeavesExactlyTheTagsAndEveryRowReachable)
{
    if (std::system("perl -MXBase::Index -e 1 2>/dev/null") != 0)
        GTEST_FAIL() << "Perl's XBase::Index is not installed";
    fill();
    manager::TableMaintenance maintenance(*tables);
    maintenance.ReIndex();
    maintenance.ReIndex();
    for (const store::TableLayout& layout : store::SystemTables()) {
        if (layout.indexName.empty())
            continue;
        EXPECT_EQ(tagsOf(data, layout.indexName), expectedTags(layout)) << layout.fileName;
    }
    EXPECT_TRUE(allOpen());
    EXPECT_EQ(tables->Table("TableNodes").IndexName(), "LINK_ID");
    EXPECT_EQ(tables->Table("TableActions").IndexName(), "MESSAGE_ID");
    const manager::AccountTree tree = manager::ReadAccountTree(*tables);
    ASSERT_EQ(tree.folders.size(), 1u);
    ASSERT_EQ(tree.folders[0].accounts.size(), 3u);
    for (const manager::TreeAccount& account : tree.folders[0].accounts) {
        accounts().SelectAccount(account.recNo);
        EXPECT_EQ(manager::RestrictionCommands(*tables, ids, data).List().size(), 1u) << account.name;
    }
}

TEST_F(Maintenance, CompressRemovesTheDeletedRowsAndRenumbersTheRest)
{
    fill();
    const manager::AccountTree before = manager::ReadAccountTree(*tables);
    accounts().DeleteAccount(before.folders[0].accounts[0].recNo);
    EXPECT_EQ(storedRecords(data, store::kNodesTable), 3u);
    manager::TableMaintenance(*tables).Pack();
    EXPECT_EQ(storedRecords(data, store::kNodesTable), 2u);
    EXPECT_TRUE(allOpen());
    const manager::AccountTree after = manager::ReadAccountTree(*tables);
    ASSERT_EQ(after.folders[0].accounts.size(), 2u);
    for (const manager::TreeAccount& account : after.folders[0].accounts) {
        accounts().SelectAccount(account.recNo);
        EXPECT_EQ(accounts().ReadAccount().name, account.name);
    }
}

TEST_F(Maintenance, EraseRemovesEveryMessageRowAndKeepsTheAccounts)
{
    fill();
    TTable& received = tables->Table("TableReceived");
    received.Append();
    received.FieldByName("MESSAGE_ID").SetAsString("m1");
    received.Post();
    manager::TableMaintenance(*tables).Zap();
    EXPECT_EQ(storedRecords(data, store::kReceivedTable), 0u);
    EXPECT_EQ(rows(store::kNodesTable, {"NODE"}).size(), 3u);
    EXPECT_TRUE(allOpen());
}

TEST_F(Maintenance, ATableAnotherProcessHoldsStopsTheCommandWithEveryTableOpenAgain)
{
    fill();
    accounts().SelectAccount(manager::ReadAccountTree(*tables).folders[0].accounts[0].recNo);
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The other program: the accounts table open, shared, until stopped
        // (the engine settings are the parent's, copied).
        try {
            TTable nodes;
            nodes.DatabaseName = data;
            nodes.TableName = store::kNodesTable;
            nodes.TableType = ttSXFOX;
            nodes.Open();
            (void)!write(ready[1], "r", 1);
            for (;;)
                pause();
        } catch (...) {
            _exit(1);
        }
    }
    char signal = 0;
    ASSERT_EQ(read(ready[0], &signal, 1), 1);
    close(ready[0]);
    close(ready[1]);

    manager::TableMaintenance maintenance(*tables);
    for (auto command : {&manager::TableMaintenance::Pack, &manager::TableMaintenance::ReIndex}) {
        try {
            (maintenance.*command)();
            ADD_FAILURE() << "the command did not notice the other program";
        } catch (const manager::ManagerError& error) {
            EXPECT_NE(std::string(error.what()).find("NODES.DBF"), std::string::npos) << error.what();
        }
        EXPECT_TRUE(allOpen());
        EXPECT_EQ(tables->Table("TableNodes").IndexName(), "LINK_ID");
        // The account the properties act on is still there to act on.
        EXPECT_EQ(manager::ReadAccountTree(*tables).folders.at(0).accounts.size(), 3u);
    }
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    maintenance.Pack();
    EXPECT_TRUE(allOpen());
}

}  // namespace
}  // namespace accountstest
