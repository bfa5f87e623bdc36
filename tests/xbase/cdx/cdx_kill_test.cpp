// A writer killed at any moment, in the middle of a split, a merge or a tag
// build: the next open must find whole trees holding every change the
// writer finished, plus at most the one it was making.

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <random>
#include <set>

#include "cdx_test_util.h"
#include "../kill_timing.h"

using namespace xbase;

namespace {

using xbasetest::lastReported;
using xbasetest::waitForAWrite;

using Model = std::set<std::pair<std::string, uint32_t>>;

constexpr int kKeyLength = 100;   // few keys to a page: a few hundred make a tree of several levels
constexpr int kRounds = 40;
constexpr uint32_t kMaxOpsPerRound = 4000;

CdxTagSpec tagK() {
    CdxTagSpec s;
    s.name = "K";
    s.keyExpression = "K";
    s.keyLength = kKeyLength;
    return s;
}

std::vector<IndexEntry> entriesOf(const Model& m) {
    std::vector<IndexEntry> out;
    for (const auto& [k, r] : m) out.push_back({k, r});
    return out;
}

// The changes of one round, the same in the writer and in the parent that
// replays them: inserts and removes leaning to growth or to shrinking, and
// now and then the whole tag rebuilt.
class Ops {
public:
    enum Kind { kInsert, kRemove, kRebuild };
    struct Op {
        Kind kind;
        std::string key;
        uint32_t recno = 0;
    };

    Ops(uint32_t seed, bool grow) : rng_(seed), grow_(grow) {}

    Op next(const Model& m) {
        if (rng_() % 40 == 0) return {kRebuild, {}, 0};
        const bool insert = m.size() < 40 || (m.size() < 700 && rng_() % 100 < (grow_ ? 75u : 25u));
        if (!insert) {
            const auto& [k, r] = *std::next(m.begin(), long(rng_() % m.size()));
            return {kRemove, k, r};
        }
        std::string key(size_t(kKeyLength), ' ');
        const size_t used = 20 + rng_() % 80;
        for (size_t i = 0; i < used; ++i) key[i] = char('A' + rng_() % 26);
        return {kInsert, key, uint32_t(rng_() % 1000000) + 1};
    }

    static void apply(const Op& op, Model& m) {
        if (op.kind == kInsert) m.insert({op.key, op.recno});
        if (op.kind == kRemove) m.erase({op.key, op.recno});
    }

private:
    std::mt19937 rng_;
    bool grow_;
};

// Runs the round's changes and reports each finished one on `out`; never returns.
[[noreturn]] void writer(const std::string& path, Model model, uint32_t seed, bool grow, int out) {
    try {
        auto index = CdxIndex::open(path, false);
        Ops ops(seed, grow);
        for (uint32_t done = 0; done < kMaxOpsPerRound;) {
            const Ops::Op op = ops.next(model);
            if (op.kind == Ops::kInsert) index->insert("K", {op.key, op.recno});
            if (op.kind == Ops::kRemove) index->remove("K", {op.key, op.recno});
            if (op.kind == Ops::kRebuild) index->createTag(tagK(), entriesOf(model));
            Ops::apply(op, model);
            ++done;
            if (::write(out, &done, sizeof done) != sizeof done) _exit(3);
        }
    } catch (...) {
        _exit(2);
    }
    _exit(0);
}

Model keysIn(CdxIndex& index) {
    Model out;
    for (const auto& e : cdxtest::walkForward(index, "K")) out.insert({e.key, e.recno});
    return out;
}

}  // namespace

TEST(CdxKill, KilledWritersLeaveWholeTreesWithEveryFinishedChange) {
    cdxtest::ScratchDir dir;
    const std::string path = dir.file("killed.cdx");
    std::mt19937 rng(20261209);
    // Start from a tree of several levels, so that splits and merges reach interior pages.
    Model model;
    Ops start(uint32_t(rng()), true);
    while (model.size() < 400) Ops::apply(start.next(model), model);
    CdxIndex::create(path)->createTag(tagK(), entriesOf(model));
    int journalsLeft = 0, deepest = 0;

    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const uint32_t seed = uint32_t(rng());
        const bool grow = (round / 4) % 2 == 0;
        int pipeFds[2];
        ASSERT_EQ(::pipe(pipeFds), 0);
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::close(pipeFds[0]);
            writer(path, model, seed, grow, pipeFds[1]);
        }
        ::close(pipeFds[1]);
        // Once the writer is under way it dies anywhere within its next changes, or
        // (every other round) the moment its next write to the index shows.
        uint32_t first = 0;
        const bool underWay = ::read(pipeFds[0], &first, sizeof first) == sizeof first;
        if (underWay && round % 2 == 0) ::usleep(useconds_t(rng() % 5000));
        if (underWay && round % 2 == 1) waitForAWrite(path);
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        const uint32_t done = std::max(first, lastReported(pipeFds[0]));
        ::close(pipeFds[0]);
        // A writer that ended on its own must have ended well.
        if (!WIFSIGNALED(status)) {
            ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }

        // Replay what the writer finished, and the one change it may have been making.
        Ops ops(uint32_t(seed), grow);
        Model finished = model;
        for (uint32_t i = 0; i < done; ++i) Ops::apply(ops.next(finished), finished);
        Model withNext = finished;
        Ops::apply(ops.next(withNext), withNext);

        if (!cdxtest::journalHoldsNothing(path)) ++journalsLeft;
        auto index = CdxIndex::open(path, false);
        EXPECT_TRUE(cdxtest::journalHoldsNothing(path));
        int depth = 0;
        size_t count = 0;
        ASSERT_NO_THROW(count = cdxtest::checkTag(path, "K", ' ', &depth));
        ASSERT_NO_THROW(cdxtest::checkFreeList(path));
        deepest = std::max(deepest, depth);
        const Model got = keysIn(*index);
        EXPECT_EQ(count, got.size());
        ASSERT_TRUE(got == finished || got == withNext)
            << "after " << done << " finished changes the tag holds " << got.size() << " keys, expected "
            << finished.size() << " or " << withNext.size();
        model = got;
    }
    // The rounds went deep enough to split and merge interior pages.
    EXPECT_GE(deepest, 3);
    RecordProperty("journals_left_by_kills", journalsLeft);
}
