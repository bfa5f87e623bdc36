// A program appending to a shared table the way the processors' tools do
// (append, lock the row, write its fields, unlock) killed at any moment:
// the next open finds every row once in every tag, in key order, and every
// row the killed program had unlocked under its own keys.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "../xbase_test_support.h"
#include "../kill_timing.h"

namespace {

using xbasetest::waitForAWrite;

using xbasetest::fieldDef;

std::string nameOf(int i) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "R%06d", (i * 7919) % 1000003);
    return buf;
}

class SxSharedKill : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = xbasetest::makeTempFolder("xbase_sharedkill");
        table_ = dir_ + "/s.dbf";
        xbasetest::resetEngine(2);
        ASSERT_TRUE(xbasetest::createIndexedTable(
            table_, {fieldDef("NAME", 'C', 20), fieldDef("LINK", 'C', 8), fieldDef("N", 'N', 8), fieldDef("NOTES", 'M', 10)},
            {{"NAME", "NAME"}, {"LINK", "LINK"}, {"N", "STR(N,8)"}}));
    }
    void TearDown() override {
        sx_CloseAll();
        std::filesystem::remove_all(dir_);
    }

    // Appends rows from `first` on without end, telling `out` each one unlocked.
    [[noreturn]] void writer(int first, int out) {
        sx_SysProp(SX_SP_ERROR_LEVEL, 0);
        if (sx_Use(table_.c_str(), nullptr, SX_SHARED, SX_DRIVER_FOX) == 0) _exit(10);
        for (int i = first;; ++i) {
            if (sx_AppendEx() != SX_APPEND_OK) _exit(11);
            const int r = sx_RecNo();
            if (!sx_Rlock(r)) _exit(12);
            const double n = i;
            const std::string link = "L" + std::to_string(i % 40);
            if (!sx_Replace("NAME", SX_R_CHAR, nameOf(i).c_str()) || !sx_Replace("LINK", SX_R_CHAR, link.c_str()) ||
                !sx_Replace("N", SX_R_DOUBLE, &n)) {
                _exit(13);
            }
            if (i % 4 == 0 && !sx_Replace("NOTES", SX_R_MEMO, nameOf(i).c_str())) _exit(14);
            if (!sx_Unlock(r)) _exit(15);
            if (::write(out, &i, sizeof i) != sizeof i) _exit(16);
        }
    }

    std::string dir_;
    std::string table_;
};

TEST_F(SxSharedKill, AppendersKilledAtAnyMomentLeaveEveryRowOnceInEveryTag) {
    std::mt19937 rng(3207);
    std::vector<int> unlocked;
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        ASSERT_GT(sx_Use(table_.c_str(), nullptr, SX_SHARED, SX_DRIVER_FOX), 0) << xbase::lastErrorText();
        const int first = sx_RecCount();
        sx_CloseAll();
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        std::fflush(nullptr);
        const pid_t pid = fork();
        if (pid == 0) {
            ::close(fds[0]);
            writer(first, fds[1]);
        }
        ::close(fds[1]);
        int value = 0;
        ASSERT_EQ(::read(fds[0], &value, sizeof value), ssize_t(sizeof value)) << "the writer did not get going";
        unlocked.push_back(value);
        // Anywhere, or (every other round) just after one of its index writes.
        if (round % 2 == 0) std::this_thread::sleep_for(std::chrono::microseconds(rng() % 30000));
        if (round % 2 == 1) waitForAWrite(dir_ + "/s.cdx");
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "writer ended by itself with " << WEXITSTATUS(status);
        while (::read(fds[0], &value, sizeof value) == sizeof value) unlocked.push_back(value);
        ::close(fds[0]);

        ASSERT_GT(sx_Use(table_.c_str(), nullptr, SX_SHARED, SX_DRIVER_FOX), 0) << xbase::lastErrorText();
        const int rows = sx_RecCount();
        ASSERT_GE(rows, int(unlocked.size()));
        for (const char* tag : {"NAME", "LINK", "N"}) {
            SCOPED_TRACE(tag);
            sx_SetOrder(sx_TagArea(tag));
            const bool numeric = std::string(tag) == "N";
            std::vector<bool> seen(static_cast<std::size_t>(rows) + 1, false);
            std::string lastText;
            double lastNumber = -1;
            int walked = 0;
            for (sx_GoTop(); !sx_Eof() && walked <= rows; sx_Skip(1), ++walked) {
                const int r = sx_RecNo();
                ASSERT_TRUE(r >= 1 && r <= rows && !seen[static_cast<std::size_t>(r)]) << "row " << r << " twice";
                seen[static_cast<std::size_t>(r)] = true;
                if (numeric) {
                    const double n = std::atof(sx_GetString("N").c_str());
                    EXPECT_LE(lastNumber, n) << "out of key order at row " << r;
                    lastNumber = n;
                } else {
                    const std::string text = sx_GetString(tag);
                    EXPECT_LE(lastText, text) << "out of key order at row " << r;
                    lastText = text;
                }
            }
            EXPECT_EQ(walked, rows);
        }
        sx_SetOrder(sx_TagArea("NAME"));
        for (int i : unlocked) ASSERT_TRUE(sx_Seek(nameOf(i).c_str())) << nameOf(i);
        sx_SetOrder(sx_TagArea("N"));
        for (std::size_t k = 0; k < unlocked.size(); k += 13) {
            char key[16];
            std::snprintf(key, sizeof key, "%8d", unlocked[k]);
            EXPECT_TRUE(sx_Seek(key)) << key;
        }
        sx_CloseAll();
    }
}

}  // namespace
