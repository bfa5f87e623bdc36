// What the platform layer makes is its user's alone whatever the umask:
// folders 0700, files 0600 (written whole, copied, moved in, temporary, a
// status log and its journal); what exists already keeps the mode it has.
#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/status_log.h"
#include "platform/temp_file.h"
#include "tests/support/scoped_env.h"
#include "tests/support/scoped_umask.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace platform;
using test_support::modeOf;

// 0000 lets every bit through; 0277 also takes the owner's write bit away.
class PrivateModes : public ::testing::TestWithParam<mode_t> {
protected:
    test_support::TempDir dir{"modes"};
    test_support::ScopedUmask mask{GetParam()};
};

TEST_P(PrivateModes, NewFoldersArePrivateAndAnExistingOneKeepsItsMode)
{
    ASSERT_EQ(::mkdir(dir.file("shared").c_str(), 0755), 0);
    ASSERT_EQ(::chmod(dir.file("shared").c_str(), 0755), 0);
    ASSERT_TRUE(ForceDirectories(dir.file("shared/acct/Pending/")));
    EXPECT_EQ(modeOf(dir.file("shared")), 0755);
    EXPECT_EQ(modeOf(dir.file("shared/acct")), 0700);
    EXPECT_EQ(modeOf(dir.file("shared/acct/Pending")), 0700);
    // The new folder can be written into at once.
    WriteFileAtomic(dir.file("shared/acct/Pending/m.eml"), "x");
    EXPECT_TRUE(ForceDirectories(dir.file("shared/acct")));
    EXPECT_EQ(modeOf(dir.file("shared")), 0755);
}

TEST_P(PrivateModes, FilesWrittenWholeOrCopiedArePrivateUnlessTheyExisted)
{
    WriteFileAtomic(dir.file("new.eml"), "new");
    EXPECT_EQ(modeOf(dir.file("new.eml")), 0600);

    test_support::writeFile(dir.file("old.eml"), "old");
    ASSERT_EQ(::chmod(dir.file("old.eml").c_str(), 0644), 0);
    WriteFileAtomic(dir.file("old.eml"), "rewritten");
    EXPECT_EQ(modeOf(dir.file("old.eml")), 0644);

    CopyFileReplace(dir.file("old.eml"), dir.file("copy.eml"));
    EXPECT_EQ(modeOf(dir.file("copy.eml")), 0600);
    ASSERT_EQ(::chmod(dir.file("copy.eml").c_str(), 0640), 0);
    CopyFileReplace(dir.file("new.eml"), dir.file("copy.eml"));
    EXPECT_EQ(modeOf(dir.file("copy.eml")), 0640);
    EXPECT_EQ(ReadWholeFile(dir.file("copy.eml")), "new");
}

TEST_P(PrivateModes, APrivateFileIsMadeOnlyWhereNoneIs)
{
    const int fd = CreatePrivateFile(dir.file("f"), O_WRONLY);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(::write(fd, "abc", 3), 3);
    ::close(fd);
    EXPECT_EQ(modeOf(dir.file("f")), 0600);
    EXPECT_EQ(CreatePrivateFile(dir.file("f"), O_WRONLY), -1);
    EXPECT_EQ(errno, EEXIST);
    EXPECT_EQ(ReadWholeFile(dir.file("f")), "abc");
}

TEST_P(PrivateModes, TemporaryFilesArePrivate)
{
    test_support::ScopedEnv tmp("TMPDIR", dir.path());
    TempFile file;
    EXPECT_EQ(modeOf(file.path()), 0600);
}

TEST_P(PrivateModes, AStatusLogAndItsJournalArePrivateAndAnOldLogKeepsItsMode)
{
    const std::string path = dir.file("agentproc.log");
    {
        StatusLog log(path);
        log.Open();
        log.Add("first");
        EXPECT_EQ(modeOf(path), 0600);
        EXPECT_EQ(modeOf(LogJournalPath(path)), 0600);
        log.Close();
    }
    EXPECT_EQ(modeOf(LogJournalPath(path)), -1);
    ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
    StatusLog again(path);
    again.Open();
    again.Add("second");
    again.Close();
    EXPECT_EQ(modeOf(path), 0644);
}

INSTANTIATE_TEST_SUITE_P(Umasks, PrivateModes, ::testing::Values(mode_t{0}, mode_t{0022}, mode_t{0277}));

TEST(PrivateModesAcrossFileSystems, AFileMovedToAnotherFileSystemKeepsItsMode)
{
    test_support::TempDir dir{"modes"};
    const std::string elsewhere = test_support::otherFileSystemParent(dir.path());
    if (elsewhere.empty())
        GTEST_SKIP();
    test_support::ScopedUmask mask(0);
    test_support::TempDir shm("tarsel-test-", elsewhere);
    test_support::writeFile(shm.file("a.eml"), "a");
    ASSERT_EQ(::chmod(shm.file("a.eml").c_str(), 0640), 0);
    ASSERT_TRUE(RenameNoReplace(shm.file("a.eml"), dir.file("a.eml")));
    EXPECT_EQ(modeOf(dir.file("a.eml")), 0640);
}

}  // namespace
