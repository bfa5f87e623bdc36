// A tag made again over the tree it replaces: the new tree takes the old
// one's pages, and whatever of them it does not need goes on the free list,
// so the file neither grows nor loses pages, and the other tags stay whole.

#include <filesystem>

#include "cdx_test_util.h"

using namespace xbase;

namespace {

std::vector<IndexEntry> numbered(uint32_t n, const std::string& prefix) {
    std::vector<IndexEntry> out;
    for (uint32_t r = 1; r <= n; ++r) out.push_back({prefix + std::to_string(r * 7919 % 100003), r});
    return out;
}

}  // namespace

TEST(CdxRebuild, ATagMadeAgainUsesItsOldPagesAndFreesTheRest) {
    cdxtest::ScratchDir dir;
    const std::string path = dir.file("r.cdx");
    auto index = CdxIndex::create(path);
    index->createTag(cdxtest::tag("A"), numbered(6000, "a"));
    index->createTag(cdxtest::tag("B"), numbered(400, "b"));
    const auto size = std::filesystem::file_size(path);
    ASSERT_EQ(cdxtest::checkFreeList(path), 0u);

    // Smaller: the pages it leaves are free, none of them still in a tree.
    index->createTag(cdxtest::tag("A"), numbered(1000, "c"));
    EXPECT_EQ(cdxtest::checkTag(path, "A"), 1000u);
    EXPECT_EQ(cdxtest::checkTag(path, "B"), 400u);
    const size_t freed = cdxtest::checkFreeList(path);
    EXPECT_GT(freed, 0u);
    EXPECT_EQ(std::filesystem::file_size(path), size);

    // Another tag made again takes its own pages back, not the free ones.
    index->createTag(cdxtest::tag("B"), numbered(400, "d"));
    EXPECT_EQ(cdxtest::checkFreeList(path), freed);

    // Larger again: its old pages, then the free ones, before the file grows.
    index->createTag(cdxtest::tag("A"), numbered(6000, "e"));
    EXPECT_EQ(cdxtest::checkTag(path, "A"), 6000u);
    EXPECT_EQ(cdxtest::checkTag(path, "B"), 400u);
    EXPECT_EQ(cdxtest::checkFreeList(path), 0u);
    EXPECT_EQ(std::filesystem::file_size(path), size);
    EXPECT_EQ(cdxtest::walkForward(*index, "A").front().key.substr(0, 1), "e");

    // And it takes changes as any tag does.
    index->insert("A", {"zzz", 7000});
    EXPECT_EQ(cdxtest::checkTag(path, "A"), 6001u);
}

TEST(CdxRebuild, AnEmptyTagMadeAgainKeepsOnePageAndFreesTheOthers) {
    cdxtest::ScratchDir dir;
    const std::string path = dir.file("e.cdx");
    auto index = CdxIndex::create(path);
    index->createTag(cdxtest::tag("A"), numbered(3000, "a"));
    index->createTag(cdxtest::tag("A"), {});
    EXPECT_EQ(cdxtest::checkTag(path, "A"), 0u);
    EXPECT_GT(cdxtest::checkFreeList(path), 0u);
    EXPECT_FALSE(index->first("A"));
    index->insert("A", {"only", 1});
    EXPECT_EQ(cdxtest::walkForward(*index, "A").size(), 1u);
}
