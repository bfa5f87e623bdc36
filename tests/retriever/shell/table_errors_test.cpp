// A processor whose table cannot be opened: the error line at start-up
// names the file, the data folder and why, and start-up ends there as
// before (no pass, the program stays up unless it runs one pass).

#include <filesystem>
#include <fstream>

#include "retriever/shell/tdm.h"
#include "shell_fixture.h"
#include "tables/table.h"

using shell::AgentProcessorProfile;
using shell::RetrieverProfile;

namespace shelltest {

namespace {

namespace fs = std::filesystem;

struct TableDamage {
    const char* name;
    void (*apply)(const std::string& file);
    const char* reason;
};

void PrintTo(const TableDamage& d, std::ostream* out) { *out << d.name; }

const TableDamage kTableDamages[] = {
    {"Missing", [](const std::string& file) { fs::remove(file); }, "No such file or directory"},
    {"HeaderTruncated", [](const std::string& file) { fs::resize_file(file, 100); }, "not a table: header truncated"},
    {"HeaderDamaged",
     [](const std::string& file) {
         // A record length of 0.
         std::fstream bytes(file, std::ios::in | std::ios::out | std::ios::binary);
         bytes.seekp(10);
         bytes.put('\0').put('\0');
     },
     "not a table: header damaged"},
};

class TableErrors : public ShellTest, public ::testing::WithParamInterface<TableDamage> {};

INSTANTIATE_TEST_SUITE_P(Shell, TableErrors, ::testing::ValuesIn(kTableDamages),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

TEST_P(TableErrors, TheStartUpErrorLineNamesTheTableItsFolderAndWhy)
{
    GetParam().apply(homeDir() + "NODES.DBF");
    auto sh = makeShell(RetrieverProfile());
    sh->Start({});
    const std::vector<std::string> lines = sh->FrmMain().LogLines();
    ASSERT_FALSE(lines.empty());
    const std::string expected = " -- Error-Table engine. Error : 10024 -- NODES.DBF in " + homeDir() + ": " +
                                 GetParam().reason;
    EXPECT_EQ(lines[0].substr(lines[0].find(" -- ")), expected);
    // Start-up ended at the table: those after it stay closed.
    EXPECT_TRUE(sh->DM().Table("TableReceived").Active());
    EXPECT_FALSE(sh->DM().Table("TableRules").Active());
    EXPECT_FALSE(sh->Ended());
}

TEST_F(ShellTest, TheAgentProcessorNamesItsMissingTableAndASinglePassEndsWithStatusOne)
{
    fs::remove(homeDir() + "actions.DBF");
    auto sh = makeShell(AgentProcessorProfile());
    sh->Start({"/SINGLEPASS"});
    const std::vector<std::string> lines = sh->FrmMain().LogLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].substr(lines[0].find(" -- ")),
              " -- Error-Table engine. Error : 10024 -- actions.DBF in " + homeDir() + ": No such file or directory");
    EXPECT_EQ(work->passes, 0);
    EXPECT_TRUE(sh->Ended());
    EXPECT_EQ(sh->ExitCode(), 1);
}

}  // namespace shelltest
