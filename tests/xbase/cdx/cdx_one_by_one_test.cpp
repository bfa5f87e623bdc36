// Inserts into several tags that may land one by one (each tag's change
// whole by itself, no journal when each stays on its page): a writer killed
// at any moment leaves every tree whole, every finished set of inserts in
// every tag, and of the set it was making, each tag's insert made or not.

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <random>
#include <set>

#include "cdx_test_util.h"
#include "../kill_timing.h"

using namespace xbase;

namespace {

using xbasetest::lastReported;
using xbasetest::waitForAWrite;

using Model = std::set<std::pair<std::string, uint32_t>>;

const std::vector<std::string> kTags = {"A", "B", "C"};
constexpr int kKeyLength = 30;
constexpr int kRounds = 30;

CdxTagSpec tagNamed(const std::string& name) {
    CdxTagSpec s;
    s.name = name;
    s.keyExpression = name;
    s.keyLength = kKeyLength;
    return s;
}

// The key set number `set` gives tag number `tag`: scattered over the tree,
// so that most inserts stay on their leaf and now and then one splits it.
std::string keyOf(size_t tag, uint32_t set) {
    std::mt19937 rng(set * 31u + uint32_t(tag));
    std::string key(size_t(kKeyLength), ' ');
    const size_t used = 8 + rng() % 20;
    for (size_t i = 0; i < used; ++i) key[i] = char('A' + rng() % 26);
    return key;
}

std::vector<IndexChange> setOf(uint32_t set) {
    std::vector<IndexChange> changes;
    for (size_t t = 0; t < kTags.size(); ++t) changes.push_back({kTags[t], {keyOf(t, set), set + 1}, true});
    return changes;
}

// Applies sets from `first` on, reporting each finished one on `out`; never returns.
[[noreturn]] void writer(const std::string& path, uint32_t first, int out) {
    try {
        auto index = CdxIndex::open(path, false);
        for (uint32_t set = first;; ++set) {
            if (!index->applyIfUnchanged(setOf(set), index->foreignGeneration(), true)) _exit(4);
            const uint32_t done = set + 1;
            if (::write(out, &done, sizeof done) != sizeof done) _exit(3);
        }
    } catch (...) {
        _exit(2);
    }
}

}  // namespace

TEST(CdxOneByOne, KilledWritersLeaveWholeTreesAndEachTagsInsertMadeOrNot) {
    cdxtest::ScratchDir dir;
    const std::string path = dir.file("sets.cdx");
    std::map<std::string, Model> model;
    {
        auto index = CdxIndex::create(path);
        for (size_t t = 0; t < kTags.size(); ++t) {
            std::vector<IndexEntry> start;
            for (uint32_t i = 0; i < 300; ++i) start.push_back({keyOf(t, 1000000 + i), 2000000 + i});
            for (const auto& e : start) model[kTags[t]].insert({e.key, e.recno});
            index->createTag(tagNamed(kTags[t]), start);
        }
    }
    std::mt19937 rng(20260611);
    uint32_t next = 0;   // the first set the next writer makes
    int partial = 0;

    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::close(fds[0]);
            writer(path, next, fds[1]);
        }
        ::close(fds[1]);
        uint32_t first = 0;
        const bool underWay = ::read(fds[0], &first, sizeof first) == sizeof first;
        if (underWay && round % 2 == 0) ::usleep(useconds_t(rng() % 4000));
        if (underWay && round % 2 == 1) waitForAWrite(path);
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer ended with status " << status;
        const uint32_t done = lastReported(fds[0], std::max(first, next));
        ::close(fds[0]);

        auto index = CdxIndex::open(path, false);
        EXPECT_TRUE(cdxtest::journalHoldsNothing(path));
        int landed = 0;
        for (size_t t = 0; t < kTags.size(); ++t) {
            const std::string& tag = kTags[t];
            ASSERT_NO_THROW(cdxtest::checkTag(path, tag));
            Model finished = model[tag];
            for (uint32_t set = next; set < done; ++set) finished.insert({keyOf(t, set), set + 1});
            Model withNext = finished;
            withNext.insert({keyOf(t, done), done + 1});
            Model got;
            for (const auto& e : cdxtest::walkForward(*index, tag)) got.insert({e.key, e.recno});
            ASSERT_TRUE(got == finished || got == withNext)
                << "tag " << tag << " holds " << got.size() << " entries after " << done << " finished sets, expected "
                << finished.size() << " or " << withNext.size();
            landed += got == withNext;
            model[tag] = got;
        }
        partial += landed > 0 && landed < int(kTags.size());
        ASSERT_NO_THROW(cdxtest::checkFreeList(path));
        next = done + 1;   // the set being made at the kill is left as it landed
    }
    RecordProperty("kills_between_the_tags_of_a_set", partial);
}
