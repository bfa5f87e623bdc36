// Opens kept between operations: a writer elsewhere that died halfway, and
// a journal removed or replaced behind the one a writer keeps open, must
// still leave every open reading a sound index.

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "cdx_test_util.h"

using namespace xbase;
using cdxtest::bytesOf;
using cdxtest::entries;
using cdxtest::tag;

namespace {

// Runs `change` in a child that the file size limit kills at its first
// write past the index's present end: its journal and the pages it
// overwrites in place have landed by then, its new pages and its header not.
void dieGrowing(const std::string& path, const std::function<void()>& change) {
    const rlim_t size = rlim_t(std::filesystem::file_size(path));
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        const struct rlimit limit {size, size};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(3);
        try {
            change();
        } catch (...) {
            _exit(2);
        }
        _exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << "the writer ended with status " << status;
}

std::string indexWithTagK(const cdxtest::ScratchDir& dir) {
    const std::string path = dir.file("kept.cdx");
    CdxIndex::create(path)->createTag(tag("K"), entries(300, "a"));
    return path;
}

}  // namespace

// The dead writer's pages landed under a counter that did not move: the
// journal beside the file is what tells an open with pages kept.
TEST(CdxKeptOpen, OpensThatKeptTheirPagesUndoAWriterThatDiedHalfway) {
    for (const char* who : {"reader", "read-only reader", "writer"}) {
        SCOPED_TRACE(who);
        cdxtest::ScratchDir dir;
        const std::string path = indexWithTagK(dir);
        const std::string before = bytesOf(path);
        auto kept = CdxIndex::open(path, std::string(who) == "read-only reader");
        ASSERT_EQ(cdxtest::walkForward(*kept, "K").size(), 300u);

        dieGrowing(path, [&] { CdxIndex::open(path, false)->createTag(tag("NEW"), entries(2000, "n")); });
        ASSERT_FALSE(cdxtest::journalHoldsNothing(path)) << "the writer died outside its change";
        ASSERT_NE(bytesOf(path), before);

        if (std::string(who) == "writer") {
            kept->insert("K", {"zzz", 999});
            EXPECT_EQ(cdxtest::walkForward(*kept, "K").size(), 301u);
            EXPECT_EQ(cdxtest::checkTag(path, "K"), 301u);
        } else {
            EXPECT_EQ(cdxtest::walkForward(*kept, "K").size(), 300u);
            EXPECT_EQ(bytesOf(path), before);
        }
        EXPECT_FALSE(kept->tag("NEW"));
        EXPECT_TRUE(cdxtest::journalHoldsNothing(path));
        cdxtest::checkFreeList(path);
    }
}

// A writer keeps its journal open between changes; others may remove the
// journal meanwhile (undoing a dead writer's change does) or put another
// file in its place. Its next change must still be journalled where the
// others look, or its death halfway would go unseen.
TEST(CdxKeptOpen, AJournalKeptOpenIsWrittenWhereOthersLookForIt) {
    for (const char* meanwhile : {"nothing", "removed", "replaced by another file"}) {
        SCOPED_TRACE(meanwhile);
        cdxtest::ScratchDir dir;
        const std::string path = indexWithTagK(dir);
        const std::string journal = path + "-journal";
        auto writer = CdxIndex::open(path, false);
        writer->createTag(tag("OTHER"), entries(200, "o"));   // journalled: the journal is now kept open
        const std::string before = bytesOf(path);
        if (std::string(meanwhile) != "nothing") std::filesystem::remove(journal);
        if (std::string(meanwhile) == "replaced by another file") std::ofstream{journal};

        // The child carries on with this very open, kept journal and all.
        dieGrowing(path, [&] { writer->createTag(tag("NEW"), entries(2000, "n")); });
        writer.reset();   // its lock, shared with the dead child, goes with it

        auto next = CdxIndex::open(path, false);
        EXPECT_EQ(bytesOf(path), before);
        EXPECT_FALSE(next->tag("NEW"));
        EXPECT_EQ(cdxtest::checkTag(path, "K"), 300u);
        EXPECT_EQ(cdxtest::checkTag(path, "OTHER"), 200u);
        EXPECT_TRUE(cdxtest::journalHoldsNothing(path));
    }
}

// The only writer of an index keeps its journal open and cleared between
// changes; another open that meets the cleared journal removes it. The
// writer's next change must be journalled where others look all the same.
TEST(CdxKeptOpen, TheOnlyWritersJournalRemovedByAnotherOpenIsMadeAgainWhereOthersLook) {
    cdxtest::ScratchDir dir;
    const std::string path = indexWithTagK(dir);
    const std::string journal = path + "-journal";
    auto writer = CdxIndex::open(path, false);
    writer->setSoleWriter(true);
    writer->createTag(tag("OTHER"), entries(200, "o"));   // journalled: the journal is now kept, cleared
    ASSERT_FALSE(cdxtest::journalHoldsNothing(path));
    CdxIndex::open(path, true);   // a reader of the file itself
    ASSERT_TRUE(cdxtest::journalHoldsNothing(path));
    const std::string before = bytesOf(path);

    dieGrowing(path, [&] { writer->createTag(tag("NEW"), entries(2000, "n")); });
    writer.reset();

    auto next = CdxIndex::open(path, false);
    EXPECT_EQ(bytesOf(path), before);
    EXPECT_FALSE(next->tag("NEW"));
    EXPECT_EQ(cdxtest::checkTag(path, "OTHER"), 200u);
    EXPECT_TRUE(cdxtest::journalHoldsNothing(path));
}
