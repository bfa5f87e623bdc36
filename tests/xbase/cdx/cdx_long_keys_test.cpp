// Tags whose keys are so long that an interior page holds two entries: the
// tree must stay shallow whatever order the keys come in, or a long run of
// inserts ends in a tree deeper than any walk will follow.

#include <cmath>
#include <cstdio>
#include <random>

#include "cdx_test_util.h"
#include "xbase/error.h"

using namespace xbase;

namespace {

constexpr int kKeyLength = 240;
constexpr uint32_t kEntries = 6000;

// Distinct keys sharing a long prefix, as message keys written in time order do.
std::string keyOf(uint32_t i) {
    char text[64];
    std::snprintf(text, sizeof text, "<2026120915%07u@mail.example.com>", i);
    return text;
}

void insertAndCheck(const std::vector<uint32_t>& order) {
    cdxtest::ScratchDir dir;
    auto index = CdxIndex::create(dir.file("long.cdx"));
    CdxTagSpec spec;
    spec.name = "MESSAGE_ID";
    spec.keyExpression = "MESSAGE_ID";
    spec.keyLength = kKeyLength;
    index->createTag(spec, {});
    for (uint32_t i : order) ASSERT_NO_THROW(index->insert("MESSAGE_ID", IndexEntry{keyOf(i), i + 1})) << "key " << i;
    int depth = 0;
    ASSERT_EQ(cdxtest::checkTag(index->path(), "MESSAGE_ID", ' ', &depth), order.size());
    const size_t leaves = cdxtest::leafPages(index->path(), "MESSAGE_ID").size();
    // A binary tree over the leaves, with room for the halves a split leaves.
    EXPECT_LE(depth, int(2 * std::log2(double(leaves))) + 2) << leaves << " leaves";
    const auto walked = cdxtest::walkForward(*index, "MESSAGE_ID");
    ASSERT_EQ(walked.size(), order.size());
    for (uint32_t i = 0; i < walked.size(); ++i) ASSERT_EQ(walked[i].recno, i + 1);
}

}  // namespace

TEST(CdxLongKeys, KeysInRisingOrderKeepTheTreeShallow) {
    std::vector<uint32_t> order(kEntries);
    for (uint32_t i = 0; i < kEntries; ++i) order[i] = i;
    insertAndCheck(order);
}

TEST(CdxLongKeys, KeysInFallingOrderKeepTheTreeShallow) {
    std::vector<uint32_t> order(kEntries);
    for (uint32_t i = 0; i < kEntries; ++i) order[i] = kEntries - 1 - i;
    insertAndCheck(order);
}

TEST(CdxLongKeys, KeysInRandomOrderKeepTheTreeShallow) {
    std::vector<uint32_t> order(kEntries);
    for (uint32_t i = 0; i < kEntries; ++i) order[i] = i;
    std::shuffle(order.begin(), order.end(), std::mt19937(11));
    insertAndCheck(order);
}
