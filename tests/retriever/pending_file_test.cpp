// Pending files appear whole and never replace one that waits.
#include "retriever/core/pending_file.h"

#include "platform/error.h"
#include "platform/files.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

std::vector<std::string> everything(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

TEST(PendingFile, WrittenOnceAndNeverReplaced)
{
    test_support::TempDir dir("pf");
    const std::string path = dir.file("key.eml");
    EXPECT_TRUE(retriever::WriteNewFileAtomic(path, "first"));
    EXPECT_FALSE(retriever::WriteNewFileAtomic(path, "second"));
    EXPECT_EQ(platform::ReadWholeFile(path), "first");
    // No temporary file is left beside it.
    EXPECT_EQ(everything(dir.path()), (std::vector<std::string>{"key.eml"}));
}

TEST(PendingFile, FailureLeavesNoFileBehind)
{
    test_support::TempDir dir("pf");
    EXPECT_THROW(retriever::WriteNewFileAtomic(dir.file("missing/key.eml"), "x"), platform::FileError);
    // A folder in the way of the name counts as a file that waits.
    std::filesystem::create_directory(dir.file("taken.eml"));
    EXPECT_FALSE(retriever::WriteNewFileAtomic(dir.file("taken.eml"), "x"));
    EXPECT_EQ(everything(dir.path()), (std::vector<std::string>{"taken.eml"}));
}

}  // namespace
