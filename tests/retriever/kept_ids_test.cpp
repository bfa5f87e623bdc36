// The list of an account's messages kept here by the server's unique ids:
// read back by the next poll, bound to one mailbox, safe against a kill in
// the middle of a line, and trimmed to what is still on the server.
#include "retriever/core/kept_ids.h"

#include "platform/error.h"
#include "platform/files.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

using retriever::KeptIds;

constexpr const char* kMailbox = "pop.example.org:110\ttester";

class KeptIdsTest : public ::testing::Test {
protected:
    test_support::TempDir dir{"ki"};
    std::string path = dir.file(retriever::kKeptIdsFile);
};

TEST_F(KeptIdsTest, AddedIdsAreKnownToTheNextPoll)
{
    KeptIds(path, kMailbox).Add("0000000165a1b2c3", "-a@x-.eml");
    {
        KeptIds ids(path, kMailbox);
        ids.Add("0000000265a1b2c3", "-a@x--0123abcd.eml");
        ids.Add("0000000165a1b2c3", "-a@x-.eml");  // known already: nothing to add
    }
    const KeptIds ids(path, kMailbox);
    EXPECT_EQ(ids.FileOf("0000000165a1b2c3"), "-a@x-.eml");
    EXPECT_EQ(ids.FileOf("0000000265a1b2c3"), "-a@x--0123abcd.eml");
    EXPECT_EQ(ids.FileOf("0000000365a1b2c3"), std::nullopt);
    EXPECT_EQ(ids.FileOf(""), std::nullopt);
}

// Ids name messages of one mailbox only: after the account was pointed at
// another server or login, the old list tells nothing.
TEST_F(KeptIdsTest, TheListOfAnotherMailboxCountsAsEmpty)
{
    KeptIds(path, kMailbox).Add("1", "one.eml");
    KeptIds other(path, "other.example.org\ttester");
    EXPECT_EQ(other.FileOf("1"), std::nullopt);
    other.Add("2", "two.eml");
    EXPECT_EQ(KeptIds(path, "other.example.org\ttester").FileOf("2"), "two.eml");
    EXPECT_EQ(KeptIds(path, kMailbox).FileOf("1"), std::nullopt);
    EXPECT_EQ(KeptIds(path, kMailbox).FileOf("2"), std::nullopt);
}

// A kill in the middle of a line leaves it without its end: it is never
// read, and the next line does not run into it.
TEST_F(KeptIdsTest, ALineCutShortIsNeverRead)
{
    platform::WriteFileAtomic(path, std::string("mailbox\t") + kMailbox + "\nwhole\twhole.eml\n12");
    {
        KeptIds ids(path, kMailbox);
        EXPECT_EQ(ids.FileOf("whole"), "whole.eml");
        EXPECT_EQ(ids.FileOf("12"), std::nullopt);
        ids.Add("345", "next.eml");
    }
    const KeptIds ids(path, kMailbox);
    EXPECT_EQ(ids.FileOf("345"), "next.eml");
    EXPECT_EQ(ids.FileOf("12"), std::nullopt);
    EXPECT_EQ(ids.FileOf("12345"), std::nullopt);
    EXPECT_EQ(ids.FileOf("whole"), "whole.eml");

    // Garbage a crash left (zeros, a line without a name) names nothing.
    platform::WriteFileAtomic(path, std::string("mailbox\t") + kMailbox + "\n" + std::string(4, '\0') +
                                        "\nbare\n\tnoid.eml\nok\tok.eml\n");
    const KeptIds after(path, kMailbox);
    EXPECT_EQ(after.FileOf("bare"), std::nullopt);
    EXPECT_EQ(after.FileOf("ok"), "ok.eml");
}

TEST_F(KeptIdsTest, OnlyWhatIsStillOnTheServerStaysListed)
{
    {
        KeptIds ids(path, kMailbox);
        for (const char* id : {"a", "b", "c"})
            ids.Add(id, std::string(id) + ".eml");
        ids.KeepOnly({"a", "c", "new"});
    }
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    {
        KeptIds ids(path, kMailbox);
        EXPECT_EQ(ids.FileOf("b"), std::nullopt);
        EXPECT_EQ(ids.FileOf("a"), "a.eml");
        EXPECT_EQ(ids.FileOf("c"), "c.eml");
        EXPECT_EQ(ids.FileOf("new"), std::nullopt);
        ids.KeepOnly({"a", "c"});  // drops nothing: the file stays as it is
    }
    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(before.st_ino, after.st_ino);

    // A rewrite that a kill cut short left its temporary file: the next
    // rewrite removes it, once it is old enough not to be another's.
    const std::string stale = dir.file(std::string(".") + retriever::kKeptIdsFile + ".Ab12Cd");
    platform::WriteFileAtomic(stale, "half");
    const timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, stale.c_str(), old, 0), 0);
    KeptIds(path, kMailbox).KeepOnly({"a"});
    EXPECT_FALSE(platform::FileExists(stale));
}

TEST_F(KeptIdsTest, WhatCannotBeAnEntryIsNotAddedAndAFailedWriteIsReported)
{
    {
        KeptIds ids(path, kMailbox);
        ids.Add("has blank", "x.eml");
        ids.Add("", "x.eml");
        ids.Add("id", "");
        ids.Add("id", "tab\tname.eml");
        EXPECT_EQ(ids.FileOf("id"), std::nullopt);
    }
    EXPECT_FALSE(platform::FileExists(path));

    // A file where the account's folder should be.
    platform::WriteFileAtomic(dir.file("blocked"), "x");
    KeptIds blocked(dir.file("blocked/") + retriever::kKeptIdsFile, kMailbox);
    EXPECT_THROW(blocked.Add("id", "x.eml"), platform::FileError);
}

}  // namespace
