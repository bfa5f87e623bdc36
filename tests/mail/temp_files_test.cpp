// Temporary file streams and line lists written to files.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "mail/mail_error.h"
#include "mail/temp_file_stream.h"
#include "mail/text_file.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

// $TMPDIR points at a private folder, so every temporary file shows.
class TempFolder : public ::testing::Test {
protected:
    std::size_t filesInFolder() const
    {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()));
    }
    static std::string readAll(const fs::path& path) { return test_support::readFile(path.string()); }

    test_support::TempDir dir_{"mail_tmp_"};
    fs::path folder_{dir_.path()};
    test_support::ScopedEnv tmpDir_{"TMPDIR", dir_.path()};
};

TEST_F(TempFolder, TwoStreamsHaveTheirOwnFilesAndRemoveThem)
{
    {
        TTempFileStream first;
        TTempFileStream second;
        EXPECT_NE(first.FileName(), second.FileName());
        EXPECT_EQ(fs::path(first.FileName()).parent_path(), folder_);
        EXPECT_EQ(fs::path(first.FileName()).filename().string().substr(0, 2), "ms");
        EXPECT_TRUE(fs::exists(first.FileName()));
        EXPECT_TRUE(fs::exists(second.FileName()));
        EXPECT_EQ(fs::file_size(first.FileName()), 0u);
    }
    EXPECT_EQ(filesInFolder(), 0u);
}

TEST_F(TempFolder, StreamReadsBackWhatWasWritten)
{
    TTempFileStream stream;
    stream << "line one\r\n" << std::string(1, '\0') << "\xff";
    stream.flush();
    stream.seekg(0);
    std::string back((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
    EXPECT_EQ(back, std::string("line one\r\n\0\xff", 12));
}

// A nameless stream shows nothing in the folder from the moment it exists,
// and still holds what is written to it.
TEST_F(TempFolder, NamelessStreamHasNoNameAndReadsBackWhatWasWritten)
{
    {
        TTempFileStream stream(TempFileName::Dropped);
        EXPECT_EQ(stream.FileName(), "");
        EXPECT_EQ(filesInFolder(), 0u);
        stream << "line one\r\n" << std::string(5000, 'x');
        stream.flush();
        stream.seekg(0);
        std::string back((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
        EXPECT_EQ(back, "line one\r\n" + std::string(5000, 'x'));
        EXPECT_EQ(filesInFolder(), 0u);
    }
    EXPECT_EQ(filesInFolder(), 0u);
    ::setenv("TMPDIR", (folder_ / "missing").c_str(), 1);
    EXPECT_THROW(TTempFileStream stream(TempFileName::Dropped), mail::EFCreateError);
}

TEST_F(TempFolder, UncreatableTempFileFailsAndLeavesNothing)
{
    ::setenv("TMPDIR", (folder_ / "missing").c_str(), 1);
    EXPECT_THROW(TTempFileStream stream, mail::EFCreateError);
    EXPECT_EQ(filesInFolder(), 0u);
}

TEST_F(TempFolder, SavedListEndsEveryLineWithCrLf)
{
    fs::path file = folder_ / "list.txt";
    SaveListToFile({"USER ann", "", "QUIT"}, file.string());
    EXPECT_EQ(readAll(file), "USER ann\r\n\r\nQUIT\r\n");
}

TEST_F(TempFolder, SavedEmptyListReplacesTheFileWithAnEmptyOne)
{
    fs::path file = folder_ / "list.txt";
    std::ofstream(file) << "old contents";
    SaveListToFile({}, file.string());
    EXPECT_TRUE(fs::exists(file));
    EXPECT_EQ(fs::file_size(file), 0u);
}

TEST_F(TempFolder, SavingIntoAMissingFolderRaises)
{
    EXPECT_THROW(SaveListToFile({"x"}, (folder_ / "no" / "list.txt").string()), mail::EInOutError);
}

}  // namespace
