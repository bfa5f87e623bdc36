// Several processes changing one tag at once through their own opens.

#include <sys/wait.h>
#include <unistd.h>

#include <set>

#include "cdx_test_util.h"

using namespace xbase;

namespace {

CdxTagSpec sharedTag() {
    CdxTagSpec s;
    s.name = "K";
    s.keyExpression = "K";
    s.keyLength = 12;
    return s;
}

std::string keyFor(uint32_t writer, uint32_t i) {
    std::string k = std::to_string((i * 7919) % 1000) + "-" + std::to_string(writer);
    k.resize(12, ' ');
    return k;
}

// Runs `body` in a child process; the child's exit status is its answer.
pid_t spawn(const std::function<int()>& body) {
    const pid_t pid = fork();
    if (pid == 0) {
        int rc = 1;
        try {
            rc = body();
        } catch (...) {
            rc = 2;
        }
        _exit(rc);
    }
    return pid;
}

int waitFor(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100;
}

}  // namespace

TEST(CdxConcurrency, ProcessesInsertingAtOnceLeaveEveryKeyInAValidTree) {
    cdxtest::ScratchDir dir;
    const std::string path = dir.file("shared.cdx");
    CdxIndex::create(path)->createTag(sharedTag(), {});
    constexpr uint32_t kWriters = 3, kPerWriter = 1500;

    std::vector<pid_t> children;
    for (uint32_t w = 0; w < kWriters; ++w) {
        children.push_back(spawn([&, w] {
            auto index = CdxIndex::open(path, false);
            for (uint32_t i = 0; i < kPerWriter; ++i) {
                index->insert("K", {keyFor(w, i), w * kPerWriter + i + 1});
                if (i % 3 == 0) index->remove("K", {keyFor(w, i), w * kPerWriter + i + 1});
            }
            return 0;
        }));
    }
    // A reader walking meanwhile always sees a tree in order.
    children.push_back(spawn([&] {
        auto index = CdxIndex::open(path, true);
        for (int round = 0; round < 20; ++round) {
            const auto entries = cdxtest::walkForward(*index, "K");
            for (size_t i = 1; i < entries.size(); ++i)
                if (cdx::compareEntries(entries[i - 1].key, entries[i - 1].recno, entries[i].key, entries[i].recno) >= 0)
                    return 3;
        }
        return 0;
    }));
    for (pid_t pid : children) EXPECT_EQ(waitFor(pid), 0);

    std::set<std::pair<std::string, uint32_t>> expected;
    for (uint32_t w = 0; w < kWriters; ++w)
        for (uint32_t i = 0; i < kPerWriter; ++i)
            if (i % 3 != 0) expected.insert({keyFor(w, i), w * kPerWriter + i + 1});
    EXPECT_EQ(cdxtest::checkTag(path, "K"), expected.size());
    auto index = CdxIndex::open(path, true);
    std::set<std::pair<std::string, uint32_t>> got;
    for (const auto& e : cdxtest::walkForward(*index, "K")) got.insert({e.key, e.recno});
    EXPECT_EQ(got, expected);
}

TEST(CdxConcurrency, AnOpenSeesChangesMadeThroughAnotherOpen) {
    cdxtest::ScratchDir dir;
    const std::string path = dir.file("two.cdx");
    auto mine = CdxIndex::create(path);
    mine->createTag(sharedTag(), {{keyFor(0, 1), 1}});
    EXPECT_EQ(cdxtest::walkForward(*mine, "K").size(), 1u);   // pages now cached here
    const pid_t child = spawn([&] {
        auto other = CdxIndex::open(path, false);
        other->insert("K", {keyFor(0, 2), 2});
        CdxTagSpec s = sharedTag();
        s.name = "NEW";
        other->createTag(s, {{"x", 5}});
        return 0;
    });
    ASSERT_EQ(waitFor(child), 0);
    EXPECT_EQ(cdxtest::walkForward(*mine, "K").size(), 2u);
    ASSERT_TRUE(mine->tag("NEW"));
    EXPECT_EQ(mine->first("NEW")->recno, 5u);
}
