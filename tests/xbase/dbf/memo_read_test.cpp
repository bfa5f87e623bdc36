// Memos read back whole at every length, those around the size the reader
// takes in one read above all, and a memo whose length runs past the end
// of its file refused as damaged.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/xbase/xbase_test_support.h"
#include "xbase/error.h"
#include "xbase/fpt_file.h"

namespace {

class MemoRead : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = xbasetest::makeTempFolder("xbase_memo");
        path_ = dir_ + "/m.fpt";
        xbase::FptFile::create(path_, 64);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string dir_;
    std::string path_;
};

std::string patterned(std::size_t n) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>('a' + (i * 7) % 26);
    return s;
}

TEST_F(MemoRead, EveryLengthReadsBackWholeWithItsType) {
    xbase::FptFile memo(path_, false);
    std::vector<std::pair<uint32_t, std::string>> written;
    for (std::size_t n : {0u, 1u, 56u, 503u, 504u, 505u, 511u, 512u, 1000u, 70000u}) {
        const std::string data = patterned(n);
        written.emplace_back(memo.write(data, n % 2 ? xbase::kMemoTypePicture : xbase::kMemoTypeText), data);
    }
    for (const auto& [block, data] : written) {
        uint32_t type = 99;
        EXPECT_EQ(memo.read(block, &type), data) << data.size() << " bytes";
        EXPECT_EQ(type, data.size() % 2 ? xbase::kMemoTypePicture : xbase::kMemoTypeText);
    }
    // The last memo ends the file: a reader that asks for more still gets it whole.
    xbase::FptFile again(path_, true);
    EXPECT_EQ(again.read(written.back().first), written.back().second);
}

TEST_F(MemoRead, ALengthBeyondTheEndOfTheFileIsDamage) {
    uint32_t shortOne = 0, longOne = 0;
    {
        xbase::FptFile memo(path_, false);
        shortOne = memo.write(patterned(20), xbase::kMemoTypeText);
        longOne = memo.write(patterned(900), xbase::kMemoTypeText);
    }
    // Cut the file one byte into the long memo, and make the short one claim
    // a byte more than its file holds.
    const auto size = std::filesystem::file_size(path_);
    const auto longEnd = std::uint64_t(longOne) * 64 + 8 + 900;
    ASSERT_LE(longEnd, size);
    std::filesystem::resize_file(path_, longEnd - 1);
    {
        std::fstream f(path_, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(std::streamoff(shortOne) * 64 + 4);
        const uint32_t claimed = uint32_t(longEnd - 1 - std::uint64_t(shortOne) * 64 - 8 + 1);
        const char be[4] = {char(claimed >> 24), char(claimed >> 16), char(claimed >> 8), char(claimed)};
        f.write(be, 4);
    }
    xbase::FptFile memo(path_, true);
    for (uint32_t block : {shortOne, longOne}) {
        try {
            memo.read(block);
            ADD_FAILURE() << "block " << block << " read";
        } catch (const xbase::XbaseError& e) {
            EXPECT_NE(std::string(e.what()).find("damaged memo block"), std::string::npos) << e.what();
        }
    }
}

}  // namespace
