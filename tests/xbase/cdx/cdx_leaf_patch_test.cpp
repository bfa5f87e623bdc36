// A leaf that takes one entry is patched rather than encoded whole: the
// patched page must be byte for byte the page a whole encoding makes, for
// every place of the new entry, prefix shared with its neighbours, padding
// and record number width.

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "xbase/cdx/cdx_node.h"

using namespace xbase::cdx;

namespace {

std::string keyFrom(std::mt19937& rng, const KeyFormat& fmt) {
    // Few letters and runs of pad bytes, so that prefixes and tails are shared often.
    static const char letters[] = "AB";
    std::string k(size_t(fmt.keyLength), char(fmt.pad));
    const size_t used = rng() % size_t(fmt.keyLength + 1);
    for (size_t i = 0; i < used; ++i) k[i] = rng() % 4 == 0 ? char(fmt.pad) : letters[rng() % 2];
    return k;
}

}  // namespace

TEST(CdxLeafPatch, OneInsertGivesTheBytesOfAWholeEncoding) {
    std::mt19937 rng(20);
    int patched = 0;
    for (const KeyFormat fmt : {KeyFormat{10, ' '}, KeyFormat{20, ' '}, KeyFormat{8, '\0'}, KeyFormat{3, ' '}}) {
        for (const uint32_t recnoLimit : {200u, 70000u, 20000000u}) {
            for (int round = 0; round < 40; ++round) {
                Node node;
                node.offset = 4096;
                node.root = round % 3 == 0;
                node.right = round % 2 ? 5120 : kNoPage;
                Page page;
                ASSERT_TRUE(encodeIfFits(node, fmt, page));
                for (;;) {
                    NodeEntry e{keyFrom(rng, fmt), uint32_t(rng() % recnoLimit) + 1, 0};
                    const auto at = std::lower_bound(node.entries.begin(), node.entries.end(), e,
                                                     [](const NodeEntry& a, const NodeEntry& b) {
                                                         return a.key != b.key ? a.key < b.key : a.recno < b.recno;
                                                     });
                    const size_t pos = size_t(at - node.entries.begin());
                    node.entries.insert(at, e);
                    Page whole, patch;
                    const bool fits = encodeIfFits(node, fmt, whole);
                    if (encodeLeafInsert(page, node, pos, fmt, patch)) {
                        ++patched;
                        ASSERT_TRUE(fits) << "patched a leaf that does not fit";
                        ASSERT_EQ(patch, whole) << "entry " << pos << " of " << node.entries.size();
                    }
                    if (!fits) break;
                    page = whole;
                }
            }
        }
    }
    EXPECT_GT(patched, 10000);
}
