// A first start: an empty or missing data folder gets one good set of
// tables, read back by an independent xBase reader; a folder with some table
// files, a damaged one or a shared folder gets nothing; programs starting at
// once make one set and none of them sees half of it; a start killed at any
// moment leaves a folder the next start completes.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "platform/files.h"
#include "store/data_folder.h"
#include "store/first_start.h"
#include "store/folder_tree.h"
#include "store/store_error.h"
#include "store/table_layouts.h"
#include "tests/support/scoped_umask.h"
#include "tests/support/table_read_back.h"
#include "tests/support/temp_dir.h"
#include "xbase/sx.h"

namespace {

using test_support::modeOf;

std::vector<std::string> entries(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Ten empty tables but ORGS.DBF with its one row, and nothing else left
// behind by the making.
void expectOneGoodSet(const std::string& folder)
{
    const test_support::TablesReadBack back = test_support::readTablesIndependently(folder);
    ASSERT_EQ(back.status, 0) << back.output;
    ASSERT_EQ(back.tables.size(), 10u) << back.output;
    for (const store::TableLayout& layout : store::SystemTables()) {
        ASSERT_TRUE(back.tables.count(layout.fileName)) << layout.fileName;
        const bool orgs = layout.fileName == std::string(store::kOrgsTable);
        EXPECT_EQ(back.tables.at(layout.fileName).substr(0, 2), orgs ? "1|" : "0|") << layout.fileName;
    }
    ASSERT_EQ(back.orgs.size(), 1u);
    EXPECT_NE(back.orgs[0].find("|Tarsel"), std::string::npos) << back.orgs[0];
    for (const std::string& name : entries(folder))
        EXPECT_NE(name[0], '.') << name << " left in " << folder;
}

bool allTablesThere(const std::string& folder)
{
    for (const store::TableLayout& layout : store::SystemTables())
        if (!platform::FileExists(store::InFolder(folder, layout.fileName)))
            return false;
    return true;
}

void appendOrganisation(const std::string& folder)
{
    const int previous = sx_WorkArea("");
    const std::string path = store::InFolder(folder, store::kOrgsTable);
    ASSERT_NE(sx_Use(path.c_str(), "ORGTEST", SX_SHARED, SX_DRIVER_FOX), 0);
    sx_AppendEx();
    sx_Replace("UNIQUE_ID", SX_R_CHAR, "second");
    sx_Close();
    if (previous)
        sx_Select(previous);
}

class FirstStart : public ::testing::Test {
protected:
    test_support::TempDir dir{"first"};
    std::string folder = dir.path() + "/data/";
};

TEST_F(FirstStart, AMissingFolderIsMadePrivateWithOneSetAndALaterStartMakesNothing)
{
    test_support::ScopedUmask mask(0022);
    const std::string deep = dir.path() + "/new/deep/data/";
    EXPECT_TRUE(store::MakeTablesOnFirstStart(deep));
    EXPECT_EQ(modeOf(deep), 0700);
    expectOneGoodSet(deep);

    appendOrganisation(deep);
    const auto before = entries(deep);
    EXPECT_FALSE(store::MakeTablesOnFirstStart(deep));
    EXPECT_EQ(entries(deep), before);
    EXPECT_EQ(test_support::readTablesIndependently(deep).orgs.size(), 2u);
}

TEST_F(FirstStart, AnEmptyFolderKeepsItsModeAndWhatElseItHolds)
{
    // The default data folder is also the program folder: the messages
    // folder and the logs lie in it before the first tables do.
    ASSERT_TRUE(platform::ForceDirectories(folder + "messages/"));
    test_support::writeFile(folder + "postproc.log", "log");
    ASSERT_EQ(::chmod(folder.c_str(), 0755), 0);
    EXPECT_TRUE(store::MakeTablesOnFirstStart(folder));
    EXPECT_EQ(modeOf(folder), 0755);
    EXPECT_EQ(test_support::readFile(folder + "postproc.log"), "log");
    std::filesystem::remove_all(folder + "messages");
    std::filesystem::remove(folder + "postproc.log");
    expectOneGoodSet(folder);
}

TEST_F(FirstStart, AFolderWithSomeTableFilesOrADamagedTableGetsNothing)
{
    store::CreateDataFolder(folder, false);
    const auto whole = entries(folder);

    std::filesystem::remove(folder + "sent.dbf");
    EXPECT_FALSE(store::MakeTablesOnFirstStart(folder));
    EXPECT_FALSE(platform::FileExists(folder + "sent.dbf"));
    EXPECT_EQ(entries(folder).size(), whole.size() - 1);

    test_support::writeFile(folder + "sent.dbf", "");  // cut to nothing
    EXPECT_FALSE(store::MakeTablesOnFirstStart(folder));
    EXPECT_EQ(test_support::readFile(folder + "sent.dbf"), "");
    EXPECT_EQ(entries(folder), whole);

    // An index, memo or index journal left without its table counts too:
    // a new table beside an old index would be read through the old keys.
    for (const char* stray : {"nodes.cdx", "GROUPS.fpt", "RULES.CDX-journal"}) {
        test_support::TempDir other{"stray"};
        test_support::writeFile(other.file(stray), "old");
        EXPECT_FALSE(store::MakeTablesOnFirstStart(other.path() + "/")) << stray;
        EXPECT_EQ(entries(other.path()), std::vector<std::string>{stray});
    }
}

TEST_F(FirstStart, AFolderSharedWithOthersIsRefusedAndLeftAsItWas)
{
    const std::string shared = dir.path() + "/shared/";
    ASSERT_TRUE(platform::ForceDirectories(shared));
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
    EXPECT_THROW(store::MakeTablesOnFirstStart(shared), store::StoreError);
    EXPECT_EQ(modeOf(shared), 01777);
    EXPECT_TRUE(entries(shared).empty());

    test_support::writeFile(dir.file("file"), "x");
    EXPECT_THROW(store::MakeTablesOnFirstStart(dir.file("file") + "/"), store::StoreError);
    EXPECT_THROW(store::MakeTablesOnFirstStart(""), store::StoreError);
}

// Child exit codes: 1 made the tables, 0 found them, 2 an error, 3 returned
// while some table was missing.
// A child that waits until the parent closes its end of the `gate` pipe.
int startInChild(const std::string& folder, const int* gate = nullptr)
{
    const pid_t child = ::fork();
    if (child != 0)
        return child;
    if (gate != nullptr) {
        ::close(gate[1]);
        char go;
        if (::read(gate[0], &go, 1) < 0)
            ::_exit(4);
    }
    int code = 2;
    try {
        code = store::MakeTablesOnFirstStart(folder) ? 1 : 0;
        if (!allTablesThere(folder))
            code = 3;
    } catch (const std::exception&) {
    }
    ::_exit(code);
}

TEST_F(FirstStart, ProgramsStartingAtOnceMakeOneSetAndNoneSeesHalfOfIt)
{
    for (int round = 0; round < 3; ++round) {
        const std::string shared = dir.path() + "/round" + std::to_string(round) + "/";
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        std::vector<pid_t> children;
        for (int n = 0; n < 6; ++n)
            children.push_back(startInChild(shared, fds));
        ::close(fds[0]);
        ::close(fds[1]);  // every child goes at once
        int made = 0;
        for (pid_t child : children) {
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            ASSERT_TRUE(WIFEXITED(status));
            const int code = WEXITSTATUS(status);
            EXPECT_TRUE(code == 0 || code == 1) << "child exit " << code;
            made += code == 1;
        }
        EXPECT_EQ(made, 1);
        expectOneGoodSet(shared);
    }
}

TEST_F(FirstStart, AStartKilledAtAnyMomentLeavesAFolderTheNextStartCompletes)
{
    // How long one whole first start takes here, so the kills spread over it.
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(store::MakeTablesOnFirstStart(dir.path() + "/timing/"));
    const auto took = std::chrono::steady_clock::now() - started;

    // A child takes a little longer than the parent did: the last kills
    // land after the start would have ended.
    constexpr int kKills = 16;
    for (int n = 0; n <= kKills + kKills / 4; ++n) {
        const std::string killed = dir.path() + "/killed" + std::to_string(n) + "/";
        const pid_t child = startInChild(killed);
        std::this_thread::sleep_for(took * n / kKills);
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);

        const bool finishedBefore = WIFEXITED(status);
        bool made = false;
        ASSERT_NO_THROW(made = store::MakeTablesOnFirstStart(killed)) << "kill " << n;
        // A set the killed start finished is not made a second time.
        if (finishedBefore) {
            EXPECT_FALSE(made) << "kill " << n;
        }
        expectOneGoodSet(killed);
    }
}

}  // namespace
