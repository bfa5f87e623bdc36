// A record held back in memory (a new one under an exclusive open, or a
// locked one under a shared open) is read back by its own open at once and
// reaches the file whole: record, end marker and count, at the first write
// that lets it go.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/xbase/xbase_test_support.h"
#include "xbase/create_table.h"
#include "xbase/dbf_file.h"

namespace {

using xbasetest::fieldDef;

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class HeldRecord : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = xbasetest::makeTempFolder("xbase_held");
        path_ = dir_ + "/h.dbf";
        xbase::createTable(path_, {fieldDef("NAME", 'C', 9)});
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    // Appends n records "R<number>" through the file as it stands.
    void fill(xbase::DbfFile& f, uint32_t n) {
        for (uint32_t i = 0; i < n; ++i) f.appendRecord(row(f.recordCount() + 1), f.recordCount());
    }
    static std::string row(uint32_t recNo) {
        std::string r = " R" + std::to_string(recNo);
        r.resize(10, ' ');
        return r;
    }
    // The record count as the file holds it now.
    uint32_t countInFile() const {
        const std::string b = slurp(path_).substr(4, 4);
        uint32_t n = 0;
        for (int i = 3; i >= 0; --i) n = (n << 8) | static_cast<unsigned char>(b[static_cast<std::size_t>(i)]);
        return n;
    }
    std::string dir_;
    std::string path_;
};

TEST_F(HeldRecord, AHeldAppendIsReadBackAndReachesTheFileWithItsCountAndEndMarker) {
    // 300 rows: the new one falls in a run of records the open has not read yet.
    {
        xbase::DbfFile f(path_, xbase::OpenMode::Exclusive);
        fill(f, 300);
    }
    const auto sizeBefore = std::filesystem::file_size(path_);
    xbase::DbfFile f(path_, xbase::OpenMode::Exclusive);
    EXPECT_EQ(f.appendRecord(row(301), 300, true), 301u);
    EXPECT_EQ(f.recordCount(), 301u);
    EXPECT_EQ(f.readRecord(301), row(301));
    EXPECT_EQ(f.readRecord(300), row(300));
    EXPECT_EQ(countInFile(), 300u);
    EXPECT_EQ(std::filesystem::file_size(path_), sizeBefore);
    std::string edited = row(301);
    edited[1] = 'X';
    f.holdRecord(301, edited);
    EXPECT_EQ(f.readRecord(301), edited);
    f.writeHeld();
    EXPECT_EQ(countInFile(), 301u);
    const std::string bytes = slurp(path_);
    ASSERT_EQ(bytes.size(), sizeBefore + 10);
    EXPECT_EQ(bytes.substr(bytes.size() - 11), edited + "\x1A");
}

TEST_F(HeldRecord, AnotherWriteOrTheCloseWritesTheHeldAppendFirst) {
    {
        xbase::DbfFile f(path_, xbase::OpenMode::Exclusive);
        fill(f, 255);   // the held one opens a run of its own
        f.appendRecord(row(256), 255, true);
        f.appendRecord(row(257), 256, true);   // writes 256 before holding 257
        EXPECT_EQ(countInFile(), 256u);
        f.writeRecord(1, row(1));
        EXPECT_EQ(countInFile(), 257u);
        f.appendRecord(row(258), 257, true);
    }
    xbase::DbfFile f(path_, xbase::OpenMode::ReadOnly);
    ASSERT_EQ(f.recordCount(), 258u);
    for (uint32_t r : {255u, 256u, 257u, 258u}) EXPECT_EQ(f.readRecord(r), row(r)) << r;
}

TEST_F(HeldRecord, ASharedOpenHoldsOneRecordForItsOwnReadsOnly) {
    xbase::DbfFile f(path_, xbase::OpenMode::Shared);
    fill(f, 3);
    f.holdRecord(2, row(9));
    EXPECT_EQ(f.readRecord(2), row(9));
    EXPECT_EQ(f.storedRecord(2), row(2));
    EXPECT_EQ(xbase::DbfFile(path_, xbase::OpenMode::Shared).readRecord(2), row(2));
    // Holding another record lets the first one go to the file.
    f.holdRecord(3, row(8));
    EXPECT_EQ(xbase::DbfFile(path_, xbase::OpenMode::Shared).readRecord(2), row(9));
    f.writeHeld();
    EXPECT_EQ(xbase::DbfFile(path_, xbase::OpenMode::Shared).readRecord(3), row(8));
}

}  // namespace
