// The data folder maker: the tables it makes, read back by an independent
// xBase reader, and the refusals that keep an existing folder safe.
#include <gtest/gtest.h>

#include <map>
#include <sys/stat.h>

#include "platform/datetime.h"
#include "platform/files.h"
#include "store/data_folder.h"
#include "store/folder_tree.h"
#include "store/store_error.h"
#include "store/table_layouts.h"
#include "tests/support/command_output.h"
#include "tests/support/table_read_back.h"
#include "tests/support/temp_dir.h"
#include "xbase/cdx/cdx_index.h"
#include "xbase/sx.h"

namespace {

using Outcome = test_support::CommandOutput;
using test_support::shellQuoted;

Outcome run(const std::string& command) { return test_support::runCommand(command); }

using ReadBack = test_support::TablesReadBack;

ReadBack readBack(const std::string& folder)
{
    ReadBack back = test_support::readTablesIndependently(folder);
    EXPECT_EQ(back.status, 0) << back.output;
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

// The ten layouts spelled out field by field, so that a slip in the layouts
// the programs share shows here and not in a data folder made elsewhere.
// Our own widths: FILENAME 254 (a whole mail file name), rules texts up to
// 254 with a 49-character name, action text 254 and a Message-ID of up to
// 240 (the longest key a tag holds).
TEST_F(StoreDataFolder, TablesHoldTheirFieldsAndTagsExactly)
{
    const std::string hierarchy = ":C:40,LINK_ID:C:20,POSITION:N:4,REF:C:40,KEY1:C:20,KEY2:C:20,KEY3:C:20,"
                                  "KEY4:C:20,KEY5:C:20,STATUS:C:3,NOTES:M:10,CREATEBY:C:8,OWNER:C:8,"
                                  "LASTUSER:C:8,CREATEON:D:8";
    const std::string messages = "MESSAGE_ID:C:40,LINK_ID:C:20,RECDATE:D:8,STATUS:C:5,FROM:C:40,SUBJECT:C:80,"
                                 "FILENAME:C:254,CREATEON:D:8,CREATEAT:C:6,LASTUSER:C:10,LASTDATE:D:8,"
                                 "LASTTIME:C:6";
    const std::string outgoing = "UNIQUE_ID:C:20,LINK_ID:C:20,DATE:D:8,STATUS:C:5,TONAME:C:40,TOADDRESS:C:50,"
                                 "SUBJECT:C:80,FILENAME:C:30,CREATEON:D:8,CREATEAT:C:6,LASTUSER:C:10,"
                                 "LASTDATE:D:8,LASTTIME:C:6";
    const std::map<std::string, std::string> expected{
        {"ORGS.DBF", "1|UNIQUE_ID:C:20,ORG" + hierarchy},
        {"GROUPS.DBF", "0|UNIQUE_ID:C:20,GROUP" + hierarchy},
        {"NODES.DBF",
         "0|UNIQUE_ID:C:20,LINK_ID:C:20,NODE:C:40,POSITION:N:4,REF:C:40,ADDRESS:C:75,LOGIN:C:25,PASSWORD:C:25,"
         "POPADDRESS:C:50,SMTPADDRES:C:50,KEY1:C:20,KEY2:C:20,KEY3:C:20,KEY4:C:20,KEY5:C:20,STATUS:C:3,"
         "NOTES:M:10,CREATEBY:C:8,OWNER:C:8,LASTUSER:C:8,LASTDATE:D:8,LASTTIME:C:6,NEXTDATE:D:8,NEXTTIME:C:5,"
         "FREQTYPE:C:1,FREQVAL:N:4,LASTRESULT:C:20"},
        {"received.dbf", "0|" + messages},
        {"PENDING.DBF", "0|" + messages},
        {"sent.dbf", "0|" + outgoing},
        {"outbox.dbf", "0|" + outgoing},
        {"rules.dbf", "0|UNIQUE_ID:C:20,LINK_ID:C:20,RULE:C:49,COND:C:1,CONDVAL1:C:254,CONDVAL2:C:254,"
                      "ACT1:C:1,ACT2:C:1"},
        {"Agents.dbf", "0|UNIQUE_ID:C:20,LINK_ID:C:20,AGENT:C:99,TYPE:C:30,CREATEON:D:8,CREATEAT:C:6,"
                       "LASTUSER:C:10,LASTDATE:D:8"},
        {"actions.DBF", "0|UNIQUE_ID:C:20,MESSAGE_ID:C:240,NODE_ID:C:20,AGENT_ID:C:20,ACTION:C:254,"
                        "CREATEON:D:8,CREATEAT:C:6"},
    };
    // Index name (matched without regard to case) and tags in creation
    // order, "!" marking a unique tag; each tag's key is its name.
    const std::map<std::string, std::pair<std::string, std::string>> expectedTags{
        {"NODES.DBF", {"nodes", "!UNIQUE_ID LINK_ID NODE"}},
        {"GROUPS.DBF", {"groups", "!UNIQUE_ID LINK_ID GROUP"}},
        {"received.dbf", {"received", "!MESSAGE_ID LINK_ID FROM"}},
        {"actions.DBF", {"actions", "MESSAGE_ID UNIQUE_ID AGENT_ID NODE_ID"}},
        {"PENDING.DBF", {"pending", "!MESSAGE_ID LINK_ID FROM"}},
        {"sent.dbf", {"Sent", "!UNIQUE_ID LINK_ID SUBJECT TONAME"}},
        {"outbox.dbf", {"OutBox", "!UNIQUE_ID LINK_ID SUBJECT TONAME"}},
        {"rules.dbf", {"rules", "!UNIQUE_ID LINK_ID RULE"}},
        {"Agents.dbf", {"Agents", "!UNIQUE_ID LINK_ID AGENT"}},
    };

    store::CreateDataFolder(folder, false);
    EXPECT_EQ(readBack(folder).tables, expected);
    for (const auto& [table, index] : expectedTags) {
        const auto path = platform::FindIgnoreCase(folder + index.first + ".cdx");
        ASSERT_TRUE(path) << table;
        std::string tags;
        for (const xbase::CdxTagSpec& tag : xbase::CdxIndex::open(*path, true)->tags()) {
            EXPECT_EQ(tag.keyExpression, tag.name) << table;
            EXPECT_EQ(tag.forExpression, "") << table;
            EXPECT_FALSE(tag.descending) << table;
            tags += (tags.empty() ? "" : " ") + std::string(tag.unique ? "!" : "") + tag.name;
        }
        EXPECT_EQ(tags, index.second) << table;
    }
    EXPECT_FALSE(platform::FindIgnoreCase(folder + "ORGS.CDX"));
}

TEST_F(StoreDataFolder, FolderIsPrivateToItsOwner)
{
    store::CreateDataFolder(folder, false);
    struct stat st{};
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(StoreDataFolder, ASharedFolderIsNeverMadePrivate)
{
    // A folder like /tmp: sticky and open to all. Making it 0700 would lock
    // every other user out, so it is refused and left as it was.
    const std::string shared = dir.path() + "/shared/";
    ASSERT_TRUE(platform::ForceDirectories(shared));
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
    EXPECT_THROW(store::CreateDataFolder(shared, false), store::StoreError);
    EXPECT_THROW(store::CreateDataFolder(shared, true), store::StoreError);
    struct stat st{};
    ASSERT_EQ(::stat(shared.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 01777u);
    EXPECT_FALSE(store::DataFolderHasTables(shared));

    // A folder of one's own that already exists is made private.
    const std::string own = dir.path() + "/own/";
    ASSERT_TRUE(platform::ForceDirectories(own));
    ASSERT_EQ(::chmod(own.c_str(), 0755), 0);
    store::CreateDataFolder(own, false);
    ASSERT_EQ(::stat(own.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);
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
