// A change whose pages go to the file several to a call: a call the system
// cuts short must be finished or reported, never taken as done.

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "cdx_test_util.h"
#include "xbase/error.h"

using namespace xbase;
using cdxtest::bytesOf;
using cdxtest::entries;
using cdxtest::tag;

// The file size limit lets the new pages' write through for one page and
// refuses the rest (the limit's signal ignored, so the write just fails): the
// change must fail and leave the index as it was.
TEST(CdxCutWrite, APageWriteCutShortFailsTheChangeAndLeavesTheIndexWhole) {
    cdxtest::ScratchDir dir;
    const std::string path = dir.file("cut.cdx");
    CdxIndex::create(path)->createTag(tag("K"), entries(300, "a"));
    const std::string before = bytesOf(path);

    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        const rlim_t size = rlim_t(before.size()) + cdx::kPageSize;
        const struct rlimit limit {size, size};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0 || ::signal(SIGXFSZ, SIG_IGN) == SIG_ERR) _exit(3);
        try {
            CdxIndex::open(path, false)->createTag(tag("NEW"), entries(2000, "n"));
        } catch (const XbaseError&) {
            _exit(0);
        } catch (...) {
            _exit(2);
        }
        _exit(1);   // the change was taken as done
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "the writer ended with status " << status;
    ASSERT_EQ(WEXITSTATUS(status), 0) << "1: the cut write went unnoticed";

    EXPECT_EQ(bytesOf(path), before);
    EXPECT_TRUE(cdxtest::journalHoldsNothing(path));
    auto index = CdxIndex::open(path, false);
    EXPECT_FALSE(index->tag("NEW"));
    EXPECT_EQ(cdxtest::checkTag(path, "K"), 300u);
    cdxtest::checkFreeList(path);
}
