// A shared open that holds a row's lock keeps the row's writes in memory
// until the lock goes (or anything else commits the row): its own reads see
// them at once, other programs and other areas of the same program find
// them, keys and all, once committed, and a writer killed after the commit
// leaves the new keys in every tag.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "../xbase_test_support.h"
#include "xbase/cdx/cdx_index.h"

namespace {

using xbasetest::fieldDef;

class SxLockedRow : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = xbasetest::makeTempFolder("xbase_lockedrow");
        table_ = dir_ + "/r.dbf";
        xbasetest::resetEngine(2);
        xbase::createTable(table_, {fieldDef("NAME", 'C', 12), fieldDef("N", 'N', 6), fieldDef("NOTES", 'M', 10)});
        ASSERT_GT(sx_Use(table_.c_str(), nullptr, SX_EXCLUSIVE, SX_DRIVER_FOX), 0);
        ASSERT_GT(sx_IndexTag(nullptr, "NAME", "NAME", 0, 0, nullptr), 0);
        ASSERT_GT(sx_IndexTag(nullptr, "N", "STR(N,6)", 0, 0, nullptr), 0);
        for (const char* name : {"ALPHA", "BRAVO"}) {
            ASSERT_EQ(sx_AppendEx(), SX_APPEND_OK);
            ASSERT_TRUE(sx_Replace("NAME", SX_R_CHAR, name));
        }
        sx_CloseAll();
        ASSERT_GT(sx_Use(table_.c_str(), "MINE", SX_SHARED, SX_DRIVER_FOX), 0);
    }
    void TearDown() override {
        sx_CloseAll();
        std::filesystem::remove_all(dir_);
    }

    // Runs check in a child process with an open of its own; its answer
    // (0 when every step held) is the child's exit status.
    int inOtherProcess(const std::function<int()>& check) {
        return xbasetest::exitStatusOfChild([&] {
            return sx_Use(table_.c_str(), "OTHER", SX_SHARED, SX_DRIVER_FOX) == 0 ? 100 : check();
        });
    }

    // Appends a row, locks it and writes NAME and N without letting it go.
    void writeLockedRow(const char* name, double n) {
        ASSERT_EQ(sx_AppendEx(), SX_APPEND_OK);
        ASSERT_TRUE(sx_Rlock(sx_RecNo()));
        ASSERT_TRUE(sx_Replace("NAME", SX_R_CHAR, name));
        ASSERT_TRUE(sx_Replace("N", SX_R_DOUBLE, &n));
    }

    std::string dir_;
    std::string table_;
};

TEST_F(SxLockedRow, ReadsOfTheLockedRowGiveItsNewValuesBeforeAndAfterTheCommit) {
    writeLockedRow("CHARLIE", 7);
    ASSERT_TRUE(sx_Replace("NOTES", SX_R_MEMO, "held back"));
    EXPECT_EQ(sx_GetTrimString("NAME"), "CHARLIE");
    EXPECT_EQ(std::atof(sx_GetTrimString("N").c_str()), 7);
    EXPECT_EQ(sx_GetTrimString("NOTES"), "held back");
    std::string record(static_cast<std::size_t>(sx_RecSize()), ' ');
    sx_GetRecord(record.data());
    EXPECT_EQ(record.substr(1, 7), "CHARLIE");
    // Locking it again must not put back the row as the file had it.
    ASSERT_TRUE(sx_Rlock(3));
    EXPECT_EQ(sx_GetTrimString("NAME"), "CHARLIE");
    ASSERT_TRUE(sx_Unlock(3));
    EXPECT_EQ(sx_GetTrimString("NAME"), "CHARLIE");
    EXPECT_EQ(sx_GetTrimString("NOTES"), "held back");
}

TEST_F(SxLockedRow, TheUnlockPostsTheRowAndItsKeysToOtherPrograms) {
    writeLockedRow("CHARLIE", 7);
    ASSERT_TRUE(sx_Unlock(3));
    EXPECT_EQ(inOtherProcess([] {
                  if (sx_RecCount() != 3) return 1;
                  sx_Go(3);
                  if (sx_GetTrimString("NAME") != "CHARLIE") return 2;
                  sx_SetOrder(sx_TagArea("NAME"));
                  if (!sx_Seek("CHARLIE") || sx_RecNo() != 3) return 3;
                  sx_SetOrder(sx_TagArea("N"));
                  if (!sx_Seek("     7") || sx_RecNo() != 3) return 4;
                  // The blank row's placeholder keys are gone from both tags.
                  if (xbasetest::walkForward() != std::vector<int>{1, 2, 3}) return 5;
                  sx_SetOrder(sx_TagArea("NAME"));
                  return xbasetest::walkForward() == std::vector<int>{1, 2, 3} ? 0 : 6;
              }),
              0);
}

TEST_F(SxLockedRow, AMoveOnAnOrderCommitsTheRowUnderItsNewKey) {
    writeLockedRow("AARDVARK", 1);
    sx_SetOrder(sx_TagArea("NAME"));
    EXPECT_EQ(xbasetest::walkForward(), (std::vector<int>{3, 1, 2}));
    ASSERT_TRUE(sx_Seek("AARDVARK"));
    EXPECT_EQ(sx_RecNo(), 3);
    // Committed while still locked: another program already finds it.
    EXPECT_EQ(inOtherProcess([] {
                  sx_SetOrder(sx_TagArea("NAME"));
                  return sx_Seek("AARDVARK") && sx_RecNo() == 3 ? 0 : 1;
              }),
              0);
}

TEST_F(SxLockedRow, AnotherAreaOrADirectIndexReadOfThisProgramFindsTheRow) {
    writeLockedRow("DELTA", 4);
    ASSERT_GT(sx_Use(table_.c_str(), "SECOND", SX_SHARED, SX_DRIVER_FOX), 0);
    sx_Go(3);
    EXPECT_EQ(sx_GetTrimString("NAME"), "DELTA");
    sx_SetOrder(sx_TagArea("N"));
    EXPECT_TRUE(sx_Seek("     4"));

    sx_Select(sx_WorkArea("MINE"));
    ASSERT_TRUE(sx_Replace("NAME", SX_R_CHAR, "ECHO"));
    auto index = xbase::CdxIndex::open(dir_ + "/r.cdx", true);
    const auto spec = index->tag("NAME");
    ASSERT_TRUE(spec);
    const std::string wanted = xbase::encodeKey(xbase::Value::character("ECHO"), *spec);
    const auto found = index->seek(spec->name, wanted, false);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->key, wanted);
    EXPECT_EQ(found->recno, 3u);
}

TEST_F(SxLockedRow, OnceTheLockGoesReadsSeeAnotherProgramsChangeAgain) {
    sx_Go(2);
    ASSERT_TRUE(sx_Rlock(2));
    EXPECT_EQ(sx_GetTrimString("NAME"), "BRAVO");
    ASSERT_TRUE(sx_Unlock(2));
    EXPECT_EQ(inOtherProcess([] {
                  sx_Go(2);
                  return sx_Replace("NAME", SX_R_CHAR, "KILO") ? 0 : 1;
              }),
              0);
    EXPECT_EQ(sx_GetTrimString("NAME"), "KILO");
}

TEST_F(SxLockedRow, AWriteWithoutTheRowsLockGoesStraightToTheFile) {
    sx_Go(1);
    ASSERT_TRUE(sx_Replace("NAME", SX_R_CHAR, "ZULU"));
    EXPECT_EQ(inOtherProcess([] {
                  sx_SetOrder(sx_TagArea("NAME"));
                  return sx_Seek("ZULU") && sx_RecNo() == 1 && !sx_Seek("ALPHA") ? 0 : 1;
              }),
              0);
}

TEST_F(SxLockedRow, AWriterKilledAfterTheUnlockLeavesTheNewKeysInEveryTag) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        ::close(fds[0]);
        if (sx_Use(table_.c_str(), "KILLED", SX_SHARED, SX_DRIVER_FOX) == 0) _exit(10);
        for (int i = 0;; ++i) {
            const std::string name = "ROW" + std::to_string(i);
            const double n = 100 + i;
            if (sx_AppendEx() != SX_APPEND_OK || !sx_Rlock(sx_RecNo())) _exit(11);
            if (!sx_Replace("NAME", SX_R_CHAR, name.c_str()) || !sx_Replace("N", SX_R_DOUBLE, &n)) _exit(12);
            if (!sx_Unlock(sx_RecNo())) _exit(13);
            if (::write(fds[1], &i, sizeof i) != sizeof i) _exit(14);
        }
    }
    ::close(fds[1]);
    int done = -1;
    // Killed at some moment after a few rows are through.
    for (int value = 0; done < 20 && ::read(fds[0], &value, sizeof value) == sizeof value;) done = value;
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    for (int value = 0; ::read(fds[0], &value, sizeof value) == sizeof value;) done = value;
    ::close(fds[0]);
    ASSERT_GE(done, 20);

    sx_CloseAll();
    ASSERT_GT(sx_Use(table_.c_str(), nullptr, SX_SHARED, SX_DRIVER_FOX), 0);
    for (int i = 0; i <= done; ++i) {
        const std::string name = "ROW" + std::to_string(i);
        sx_SetOrder(sx_TagArea("NAME"));
        ASSERT_TRUE(sx_Seek(name.c_str())) << name;
        EXPECT_EQ(sx_GetTrimString("NAME"), name);
        const int rec = sx_RecNo();
        char key[16];
        std::snprintf(key, sizeof key, "%6d", 100 + i);
        sx_SetOrder(sx_TagArea("N"));
        ASSERT_TRUE(sx_Seek(key)) << key;
        EXPECT_EQ(sx_RecNo(), rec);
    }
}

TEST_F(SxLockedRow, ATagAnotherProgramMakesWhileTheRowWaitsTakesItsKeys) {
    // The other program starts before the row waits, and makes the tag when told.
    int go[2];
    ASSERT_EQ(::pipe(go), 0);
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        ::close(go[1]);
        char c = 0;
        if (::read(go[0], &c, 1) != 1) _exit(20);
        if (sx_Use(table_.c_str(), "OTHER", SX_SHARED, SX_DRIVER_FOX) == 0) _exit(21);
        _exit(sx_IndexTag(nullptr, "UPNAME", "UPPER(NAME)", 0, 0, nullptr) > 0 ? 0 : 22);
    }
    ::close(go[0]);
    writeLockedRow("foxtrot", 6);
    ASSERT_EQ(::write(go[1], "x", 1), 1);
    ::close(go[1]);
    int status = -1;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);

    ASSERT_TRUE(sx_Replace("NAME", SX_R_CHAR, "golf"));
    ASSERT_TRUE(sx_Unlock(3));
    // The next append puts its blank row's keys in the new tag too.
    ASSERT_EQ(sx_AppendEx(), SX_APPEND_OK);
    ASSERT_TRUE(sx_Unlock(4));
    sx_SetOrder(sx_TagArea("UPNAME"));
    EXPECT_EQ(xbasetest::walkForward(), (std::vector<int>{4, 1, 2, 3}));
    ASSERT_TRUE(sx_Seek("GOLF"));
    EXPECT_EQ(sx_RecNo(), 3);
    EXPECT_FALSE(sx_Seek("FOXTROT"));
}

}  // namespace
