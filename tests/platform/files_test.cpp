#include "platform/error.h"
#include "platform/files.h"
#include "platform/temp_file.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace platform;

class FilesTest : public ::testing::Test {
protected:
    test_support::TempDir dir;
};

TEST_F(FilesTest, ForceDirectoriesCreatesEveryMissingParent)
{
    EXPECT_TRUE(ForceDirectories(dir.file("a/b/c/")));
    EXPECT_TRUE(DirectoryExists(dir.file("a/b/c")));
    EXPECT_TRUE(ForceDirectories(dir.file("a/b/c")));  // existing is fine
    WriteFileAtomic(dir.file("file"), "x");
    EXPECT_FALSE(ForceDirectories(dir.file("file/sub")));
    EXPECT_FALSE(ForceDirectories(dir.file("file")));
    try {
        ForceDirectories("");
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_STREQ(e.what(), "Unable to create directory");
    }
}

TEST_F(FilesTest, ExistenceAndDeletion)
{
    WriteFileAtomic(dir.file("f.eml"), "x");
    EXPECT_TRUE(FileExists(dir.file("f.eml")));
    EXPECT_FALSE(FileExists(dir.path()));  // a folder is no file
    EXPECT_TRUE(DirectoryExists(dir.path()));
    EXPECT_TRUE(DeleteFile(dir.file("f.eml")));
    EXPECT_FALSE(DeleteFile(dir.file("f.eml")));
    EXPECT_FALSE(FileExists(dir.file("f.eml")));
}

TEST_F(FilesTest, FindsNamesWithoutRegardToCase)
{
    ForceDirectories(dir.file("Acct1/Pending"));
    WriteFileAtomic(dir.file("Acct1/Pending/Msg.EML"), "x");
    WriteFileAtomic(dir.file("NODES.DBF"), "x");

    EXPECT_EQ(FindIgnoreCase(dir.file("nodes.dbf")), dir.file("NODES.DBF"));
    EXPECT_EQ(FindIgnoreCase(dir.file("acct1/pending/msg.eml")), dir.file("Acct1/Pending/Msg.EML"));
    EXPECT_EQ(FindIgnoreCase(dir.file("ACCT1/PENDING/")), dir.file("Acct1/Pending/"));
    EXPECT_EQ(FindIgnoreCase(dir.file("Acct1/Pending/Msg.EML")), dir.file("Acct1/Pending/Msg.EML"));
    EXPECT_EQ(FindIgnoreCase(dir.file("acct1/missing/msg.eml")), std::nullopt);
    EXPECT_EQ(FindIgnoreCase(dir.file("nodes.dbf/x")), std::nullopt);
    EXPECT_EQ(FindIgnoreCase(""), std::nullopt);

    // The exact spelling wins over a variant; among variants the first in byte order.
    WriteFileAtomic(dir.file("nodes.dbf"), "y");
    EXPECT_EQ(FindIgnoreCase(dir.file("nodes.dbf")), dir.file("nodes.dbf"));
    EXPECT_EQ(FindIgnoreCase(dir.file("Nodes.dbf")), dir.file("NODES.DBF"));
}

TEST_F(FilesTest, AtomicWriteReplacesWholeAndKeepsPermissions)
{
    const std::string path = dir.file("x.eml");
    WriteFileAtomic(path, "old contents");
    ::chmod(path.c_str(), 0640);
    WriteFileAtomic(path, std::string("new\0bytes", 9));
    EXPECT_EQ(ReadWholeFile(path), std::string("new\0bytes", 9));
    struct stat st{};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(FindFiles(dir.path(), "*"), std::vector<std::string>{"x.eml"});
    EXPECT_THROW(WriteFileAtomic(dir.file("no/such/folder/x"), "y"), FileError);
    EXPECT_THROW(ReadWholeFile(dir.file("missing")), FileError);
}

TEST_F(FilesTest, AFailedWriteLeavesTheOldFileAndNoTemporary)
{
    const std::string path = dir.file("x.eml");
    WriteFileAtomic(path, "old");
    // A disk that fills up mid-write, played by a file size limit in a child.
    const pid_t child = ::fork();
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{1000, 1000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        try {
            WriteFileAtomic(path, std::string(100000, 'n'));
        } catch (const FileError&) {
            ::_exit(0);
        }
        ::_exit(1);
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the write did not fail";
    EXPECT_EQ(ReadWholeFile(path), "old");
    EXPECT_EQ(FindFiles(dir.path(), ".*"), std::vector<std::string>{});
}

TEST_F(FilesTest, TemporaryNamesNeverMatchAnExtensionPattern)
{
    // A writer that dies mid-write leaves its temporary file; listings of
    // mail files must not pick it up as a message.
    WriteFileAtomic(dir.file("key.eml"), "first");
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(30);
        for (;;)
            WriteFileAtomic(dir.file("key.eml"), std::string(1 << 20, 'm'));
    }
    bool sawTemporary = false;
    for (int i = 0; i < 2000 && !sawTemporary; ++i) {
        for (const auto& name : FindFiles(dir.path(), "*.eml"))
            EXPECT_EQ(name, "key.eml");
        sawTemporary = FindFiles(dir.path(), ".*").size() > 0;
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    for (const auto& name : FindFiles(dir.path(), ".*"))
        EXPECT_EQ(name.rfind(".key.eml.", 0), 0u) << name;
    EXPECT_EQ(FindFiles(dir.path(), "*.EML"), std::vector<std::string>{"key.eml"});
}

TEST_F(FilesTest, RenameNeverReplacesAnExistingTarget)
{
    WriteFileAtomic(dir.file("a"), "A");
    WriteFileAtomic(dir.file("b"), "B");
    EXPECT_FALSE(RenameNoReplace(dir.file("a"), dir.file("b")));
    EXPECT_EQ(ReadWholeFile(dir.file("a")), "A");
    EXPECT_EQ(ReadWholeFile(dir.file("b")), "B");

    EXPECT_TRUE(RenameNoReplace(dir.file("a"), dir.file("c")));
    EXPECT_FALSE(FileExists(dir.file("a")));
    EXPECT_EQ(ReadWholeFile(dir.file("c")), "A");

    EXPECT_THROW(RenameNoReplace(dir.file("missing"), dir.file("d")), FileError);
    EXPECT_THROW(RenameNoReplace(dir.file("c"), dir.file("no/such/d")), FileError);
}

TEST_F(FilesTest, RenameWorksAcrossFileSystems)
{
    const std::string elsewhere = test_support::otherFileSystemParent(dir.path());
    if (elsewhere.empty())
        GTEST_SKIP();
    test_support::TempDir shm("tarsel-test-", elsewhere);
    const std::string other = shm.path() + "/";
    WriteFileAtomic(other + "m.eml", "moved");
    WriteFileAtomic(other + "n.eml", "kept");
    WriteFileAtomic(dir.file("n.eml"), "target");
    EXPECT_TRUE(RenameNoReplace(other + "m.eml", dir.file("m.eml")));
    EXPECT_FALSE(RenameNoReplace(other + "n.eml", dir.file("n.eml")));
    EXPECT_EQ(ReadWholeFile(dir.file("m.eml")), "moved");
    EXPECT_EQ(ReadWholeFile(dir.file("n.eml")), "target");
    EXPECT_FALSE(FileExists(other + "m.eml"));
    EXPECT_TRUE(FileExists(other + "n.eml"));
    EXPECT_EQ(FindFiles(dir.path(), ".*"), std::vector<std::string>{});
}

TEST_F(FilesTest, CopyReplacesTheTarget)
{
    WriteFileAtomic(dir.file("src"), std::string(300000, 'q'));
    WriteFileAtomic(dir.file("dst"), "old");
    CopyFileReplace(dir.file("src"), dir.file("dst"));
    EXPECT_EQ(ReadWholeFile(dir.file("dst")), std::string(300000, 'q'));
    EXPECT_EQ(ReadWholeFile(dir.file("src")), std::string(300000, 'q'));
    EXPECT_THROW(CopyFileReplace(dir.file("missing"), dir.file("dst")), FileError);
    EXPECT_EQ(FindFiles(dir.path(), "*"), (std::vector<std::string>{"dst", "src"}));
}

TEST_F(FilesTest, SearchListsMatchingRegularFilesOnly)
{
    WriteFileAtomic(dir.file("b.eml"), "");
    WriteFileAtomic(dir.file("A.EML"), "");
    WriteFileAtomic(dir.file("c.eml.bak"), "");
    WriteFileAtomic(dir.file(".hidden.eml"), "");
    ForceDirectories(dir.file("folder.eml"));
    EXPECT_EQ(FindFiles(dir.path(), "*.eml"), (std::vector<std::string>{"A.EML", "b.eml"}));
    EXPECT_EQ(FindFiles(dir.path(), "?.eml"), (std::vector<std::string>{"A.EML", "b.eml"}));
    EXPECT_TRUE(FindFiles(dir.file("missing"), "*").empty());
}

TEST_F(FilesTest, ListingsGiveEveryNameButTheDotsAndFoldersWithoutLinksToThem)
{
    WriteFileAtomic(dir.file("a.eml"), "");
    WriteFileAtomic(dir.file(".hidden"), "");
    ForceDirectories(dir.file("acct"));
    ForceDirectories(dir.file(".staged"));
    ASSERT_EQ(::symlink(dir.file("acct").c_str(), dir.file("link").c_str()), 0);
    const auto sorted = [](std::vector<std::string> names) {
        std::sort(names.begin(), names.end());
        return names;
    };
    EXPECT_EQ(sorted(FolderEntries(dir.path())),
              (std::vector<std::string>{".hidden", ".staged", "a.eml", "acct", "link"}));
    EXPECT_EQ(sorted(Subfolders(dir.path())), (std::vector<std::string>{".staged", "acct"}));
    EXPECT_EQ(sorted(Subfolders(dir.path() + "/")), (std::vector<std::string>{".staged", "acct"}));
    // Nothing to list is no failure.
    EXPECT_TRUE(FolderEntries(dir.file("missing")).empty());
    EXPECT_TRUE(FolderEntries(dir.file("a.eml")).empty());
    EXPECT_TRUE(Subfolders(dir.file("missing")).empty());
    EXPECT_TRUE(FolderEntries("").empty());
}

TEST(TempFile, UniqueMsFilesRemovedOnRelease)
{
    test_support::TempDir dir;
    std::optional<test_support::ScopedEnv> tmp;
    tmp.emplace("TMPDIR", dir.path());
    std::string first, second;
    {
        TempFile a, b;
        first = a.path();
        second = b.path();
        EXPECT_NE(first, second);
        EXPECT_EQ(first.rfind(dir.file("ms"), 0), 0u) << first;
        EXPECT_TRUE(FileExists(first));
        EXPECT_EQ(ReadWholeFile(first), "");
        ASSERT_EQ(::write(a.fd(), "abc", 3), 3);
        EXPECT_EQ(ReadWholeFile(first), "abc");

        TempFile moved(std::move(b));
        EXPECT_EQ(moved.path(), second);
        b.release();  // the moved-from object owns nothing
        EXPECT_TRUE(FileExists(second));
        a.release();
        a.release();
        EXPECT_FALSE(FileExists(first));
    }
    EXPECT_FALSE(FileExists(second));

    tmp.emplace("TMPDIR", dir.file("missing/"));
    EXPECT_THROW(TempFile(), FileError);
}

}  // namespace
