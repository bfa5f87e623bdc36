// The data folder maker: the tables it makes, read back by an independent
// xBase reader, and the refusals that keep an existing folder safe.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>

#include "platform/datetime.h"
#include "platform/files.h"
#include "store/data_folder.h"
#include "store/folder_tree.h"
#include "store/store_error.h"
#include "store/table_layouts.h"
#include "tests/support/temp_dir.h"
#include "xbase/sx.h"

namespace {

struct Outcome {
    int status = -1;
    std::string output;
};

Outcome run(const std::string& command)
{
    Outcome r;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return r;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        r.output.append(buffer, n);
    const int raw = ::pclose(pipe);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return r;
}

std::string shellQuoted(const std::string& s) { return "'" + s + "'"; }

// Table file -> "rows|fields" as the independent reader sees them, and the
// organisation rows.
struct ReadBack {
    std::map<std::string, std::string> tables;
    std::vector<std::string> orgs;
};

ReadBack readBack(const std::string& folder)
{
    const Outcome r = run("/usr/bin/python3 " + shellQuoted(std::string(STORE_TEST_SCRIPTS) + "/read_tables.py") + " " +
                      shellQuoted(folder));
    EXPECT_EQ(r.status, 0) << r.output;
    ReadBack back;
    std::istringstream lines(r.output);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("ORG|", 0) == 0)
            back.orgs.push_back(line.substr(4));
        else if (const size_t bar = line.find('|'); bar != std::string::npos)
            back.tables[line.substr(0, bar)] = line.substr(bar + 1);
    }
    return back;
}

std::string expectedFields(const store::TableLayout& layout)
{
    std::string out;
    for (const auto& f : layout.fields)
        out += (out.empty() ? "" : ",") + f.name + ":" + f.type + ":" + std::to_string(f.width);
    return out;
}

int appendOrganisation(const std::string& folder, const char* id)
{
    const int previous = sx_WorkArea("");
    const std::string path = store::InFolder(folder, store::kOrgsTable);
    const int area = sx_Use(path.c_str(), "ORGTEST", SX_SHARED, SX_DRIVER_FOX);
    EXPECT_NE(area, 0) << xbase::lastErrorText();
    sx_AppendEx();
    sx_Replace("UNIQUE_ID", SX_R_CHAR, id);
    sx_Close();
    if (previous)
        sx_Select(previous);
    return area;
}

class StoreDataFolder : public ::testing::Test {
protected:
    test_support::TempDir dir{"mkdata"};
    std::string folder = dir.path() + "/deep/data/";
};

TEST_F(StoreDataFolder, TablesReadBackWithTheirLayouts)
{
    const TDateTime when = platform::EncodeDate(2026, 3, 4) + platform::EncodeTime(7, 8, 9, 0);
    store::CreateDataFolder(folder, false, when);
    const ReadBack back = readBack(folder);
    ASSERT_EQ(back.tables.size(), 10u);
    for (const store::TableLayout& layout : store::SystemTables()) {
        ASSERT_TRUE(back.tables.count(layout.fileName)) << layout.fileName;  // spelled as listed
        const bool orgs = layout.fileName == std::string(store::kOrgsTable);
        EXPECT_EQ(back.tables.at(layout.fileName), (orgs ? "1|" : "0|") + expectedFields(layout));
        // Every table with tags has its compound index beside it.
        EXPECT_EQ(platform::FindIgnoreCase(folder + layout.fileName.substr(0, layout.fileName.size() - 4) +
                                           ".cdx")
                      .has_value(),
                  !layout.tags.empty())
            << layout.fileName;
    }
    EXPECT_EQ(back.orgs, (std::vector<std::string>{"20260304070809Ta|Tarsel"}));
    EXPECT_THROW(store::LayoutOf("other.dbf"), store::StoreError);
}

TEST_F(StoreDataFolder, FolderIsPrivateToItsOwner)
{
    store::CreateDataFolder(folder, false);
    struct stat st{};
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(StoreDataFolder, ExistingTablesAreKeptUnlessReplacingIsAsked)
{
    store::CreateDataFolder(folder, false);
    appendOrganisation(folder, "second");
    EXPECT_THROW(store::CreateDataFolder(folder, false), store::StoreError);
    EXPECT_EQ(readBack(folder).orgs.size(), 2u);

    store::CreateDataFolder(folder, true);
    EXPECT_EQ(readBack(folder).orgs.size(), 1u);
}

TEST_F(StoreDataFolder, ATableInAnotherCaseCountsAsPresent)
{
    platform::ForceDirectories(folder);
    test_support::writeFile(folder + "nodes.dbf", "not a table");
    EXPECT_TRUE(store::DataFolderHasTables(folder));
    EXPECT_THROW(store::CreateDataFolder(folder, false), store::StoreError);
    // Replacing removes the other spelling, leaving one file per table.
    store::CreateDataFolder(folder, true);
    EXPECT_FALSE(platform::FileExists(folder + "nodes.dbf"));
    EXPECT_TRUE(platform::FileExists(folder + "NODES.DBF"));
}

TEST_F(StoreDataFolder, MakerCommand)
{
    const std::string maker = TARSEL_MKDATA;
    Outcome r = run(shellQuoted(maker) + " " + shellQuoted(folder));
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(readBack(folder).tables.size(), 10u);

    r = run(shellQuoted(maker) + " " + shellQuoted(folder));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find("--force"), std::string::npos) << r.output;

    r = run(shellQuoted(maker) + " " + shellQuoted(folder) + " --force");
    EXPECT_EQ(r.status, 0) << r.output;

    EXPECT_EQ(run(shellQuoted(maker)).status, 2);
    EXPECT_EQ(run(shellQuoted(maker) + " a b").status, 2);
    EXPECT_EQ(run(shellQuoted(maker) + " --bogus " + shellQuoted(folder)).status, 2);
}

}  // namespace
