// A table opened exclusive keeps what it reads in memory and its index
// journal open between changes: a writer killed at any moment must still
// leave the table and its tags whole for the next open, and a clean close
// must leave no journal behind.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "../xbase_test_support.h"

namespace {

using xbasetest::fieldDef;

std::string nameOf(int i) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "X%06d", (i * 7919) % 1000000);
    return buf;
}

class SxExclusiveKill : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = xbasetest::makeTempFolder("xbase_excl");
        table_ = dir_ + "/e.dbf";
        xbasetest::resetEngine(2);
        ASSERT_TRUE(xbasetest::createIndexedTable(
            table_, {fieldDef("NAME", 'C', 20), fieldDef("N", 'N', 8), fieldDef("NOTES", 'M', 10)},
            {{"NAME", "NAME"}, {"N", "STR(N,8)"}}));
    }
    void TearDown() override {
        sx_CloseAll();
        std::filesystem::remove_all(dir_);
    }

    bool journalEmpty() const {
        const std::string j = dir_ + "/e.cdx-journal";
        return !std::filesystem::exists(j) || std::filesystem::file_size(j) == 0;
    }

    // Appends rows without end, telling the parent on `out` each one that is done.
    [[noreturn]] void writer(int out) {
        sx_SysProp(SX_SP_ERROR_LEVEL, 0);
        if (sx_Use(table_.c_str(), nullptr, SX_EXCLUSIVE, SX_DRIVER_FOX) == 0) _exit(10);
        const int start = sx_RecCount();
        for (int i = start;; ++i) {
            if (sx_AppendEx() != SX_APPEND_OK) _exit(11);
            const double n = i;
            if (!sx_Replace("NAME", SX_R_CHAR, nameOf(i).c_str()) || !sx_Replace("N", SX_R_DOUBLE, &n)) _exit(12);
            if (i % 3 == 0 && !sx_Replace("NOTES", SX_R_MEMO, nameOf(i).c_str())) _exit(13);
            if (::write(out, &i, sizeof i) != sizeof i) _exit(14);
        }
    }

    std::string dir_;
    std::string table_;
};

TEST_F(SxExclusiveKill, KilledWritersLeaveWholeTagsWithEveryFinishedRow) {
    std::vector<int> finished;
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        std::fflush(nullptr);
        const pid_t pid = fork();
        if (pid == 0) {
            ::close(fds[0]);
            writer(fds[1]);
        }
        ::close(fds[1]);
        // A different moment each round, most of them in the middle of a change.
        std::this_thread::sleep_for(std::chrono::milliseconds(30 + 17 * round));
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "writer ended by itself with " << WEXITSTATUS(status);
        for (int value = 0; ::read(fds[0], &value, sizeof value) == sizeof value;) finished.push_back(value);
        ::close(fds[0]);

        ASSERT_GT(sx_Use(table_.c_str(), nullptr, SX_SHARED, SX_DRIVER_FOX), 0) << xbase::lastErrorText();
        const int rows = sx_RecCount();
        ASSERT_GE(rows, int(finished.size()));
        // Every finished row is found by both tags; the walks are whole and
        // in order, but for the row each killed writer was writing (its
        // record may be ahead of its keys).
        sx_SetOrder(sx_TagArea("NAME"));
        for (int i : finished) ASSERT_TRUE(sx_Seek(nameOf(i).c_str())) << nameOf(i);
        std::string last;
        int walked = 0;
        int outOfOrder = 0;
        for (sx_GoTop(); !sx_Eof() && walked <= rows; sx_Skip(1), ++walked) {
            const std::string name = sx_GetTrimString("NAME");
            if (name < last) ++outOfOrder;
            last = name;
        }
        EXPECT_LE(outOfOrder, round + 1);
        EXPECT_GE(walked, int(finished.size()));
        EXPECT_LE(walked, rows);
        sx_SetOrder(sx_TagArea("N"));
        for (std::size_t k = 0; k < finished.size(); k += 97) {
            char key[16];
            std::snprintf(key, sizeof key, "%8d", finished[k]);
            EXPECT_TRUE(sx_Seek(key)) << key;
        }
        // The next writer carries on over whatever the killed one left.
        ASSERT_EQ(sx_AppendEx(), SX_APPEND_OK) << xbase::lastErrorText();
        ASSERT_TRUE(sx_Replace("NAME", SX_R_CHAR, "AFTER")) << xbase::lastErrorText();
        sx_SetOrder(sx_TagArea("NAME"));
        EXPECT_TRUE(sx_Seek("AFTER"));
        EXPECT_TRUE(journalEmpty());
        sx_CloseAll();
    }
    EXPECT_FALSE(finished.empty());
}

// A write whose value keys as the blank row did still leaves the row in
// that tag: the writer may be killed before anything commits the row.
TEST_F(SxExclusiveKill, AWriteThatMovesNoKeyLeavesTheRowInEveryTag) {
    ASSERT_EQ(xbasetest::exitStatusOfChild([&] {
                  if (sx_Use(table_.c_str(), nullptr, SX_EXCLUSIVE, SX_DRIVER_FOX) == 0) return 10;
                  if (sx_AppendEx() != SX_APPEND_OK) return 11;
                  const double zero = 0;
                  return sx_Replace("NAME", SX_R_CHAR, "FIRST") && sx_Replace("N", SX_R_DOUBLE, &zero) ? 0 : 12;
              }),
              0);
    ASSERT_GT(sx_Use(table_.c_str(), nullptr, SX_SHARED, SX_DRIVER_FOX), 0) << xbase::lastErrorText();
    ASSERT_EQ(sx_RecCount(), 1);
    sx_SetOrder(sx_TagArea("NAME"));
    EXPECT_TRUE(sx_Seek("FIRST"));
    sx_SetOrder(sx_TagArea("N"));
    EXPECT_TRUE(sx_Seek("       0"));
}

TEST_F(SxExclusiveKill, CloseLeavesNoJournalAndSharedOpensSeeEveryWrite) {
    ASSERT_GT(sx_Use(table_.c_str(), nullptr, SX_EXCLUSIVE, SX_DRIVER_FOX), 0);
    for (int i = 0; i < 300; ++i) {
        ASSERT_EQ(sx_AppendEx(), SX_APPEND_OK);
        ASSERT_TRUE(sx_Replace("NAME", SX_R_CHAR, nameOf(i).c_str()));
    }
    for (int r = 2; r <= 300; r += 2) {
        sx_Go(r);
        ASSERT_TRUE(sx_Delete());
    }
    ASSERT_TRUE(sx_Pack());
    ASSERT_EQ(sx_RecCount(), 150);
    sx_CloseAll();
    EXPECT_TRUE(journalEmpty());

    ASSERT_GT(sx_Use(table_.c_str(), nullptr, SX_SHARED, SX_DRIVER_FOX), 0);
    EXPECT_EQ(sx_RecCount(), 150);
    sx_SetOrder(sx_TagArea("NAME"));
    for (int i = 0; i < 300; ++i) EXPECT_EQ(sx_Seek(nameOf(i).c_str()), i % 2 == 0) << i;
    EXPECT_EQ(static_cast<int>(xbasetest::walkForward().size()), 150);
}

}  // namespace
