// A leaf that takes one entry is patched rather than encoded whole: the
// patch must give the very bytes of a whole encoding, wherever the entry
// goes, whatever prefix it shares, for both pads and every recno width.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "xbase/cdx/cdx_node.h"

using namespace xbase::cdx;

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
                for (bool fits = true; fits;) {
                    // Two letters and pad bytes, so that prefixes and tails are often shared.
                    NodeEntry e{std::string(size_t(fmt.keyLength), char(fmt.pad)), uint32_t(rng() % recnoLimit) + 1, 0};
                    for (size_t i = 0, used = rng() % size_t(fmt.keyLength + 1); i < used; ++i)
                        e.key[i] = rng() % 4 == 0 ? char(fmt.pad) : "AB"[rng() % 2];
                    const auto at = std::lower_bound(node.entries.begin(), node.entries.end(), e, [](auto& a, auto& b) {
                        return a.key != b.key ? a.key < b.key : a.recno < b.recno;
                    });
                    const size_t pos = size_t(at - node.entries.begin());
                    node.entries.insert(at, e);
                    Page whole, patch;
                    fits = encodeIfFits(node, fmt, whole);
                    if (encodeLeafInsert(page, node, pos, fmt, patch)) {
                        ++patched;
                        ASSERT_TRUE(fits) << "patched a leaf that does not fit";
                        ASSERT_EQ(patch, whole) << "entry " << pos << " of " << node.entries.size();
                    }
                    page = whole;
                }
            }
        }
    }
    EXPECT_GT(patched, 10000);
}

// The same for a leaf that loses one entry: wherever it stood (first, last,
// between keys sharing a prefix), and when the largest record number goes.
TEST(CdxLeafPatch, OneRemovalGivesTheBytesOfAWholeEncoding) {
    std::mt19937 rng(21);
    int patched = 0;
    for (const KeyFormat fmt : {KeyFormat{10, ' '}, KeyFormat{20, ' '}, KeyFormat{8, '\0'}, KeyFormat{3, ' '}}) {
        for (const uint32_t recnoLimit : {200u, 70000u, 20000000u}) {
            for (int round = 0; round < 30; ++round) {
                Node node;
                node.offset = 4096;
                node.root = round % 3 == 0;
                node.left = round % 2 ? 3584 : kNoPage;
                // A full leaf of keys that often share prefixes and tails.
                for (;;) {
                    NodeEntry e{std::string(size_t(fmt.keyLength), char(fmt.pad)), uint32_t(rng() % recnoLimit) + 1, 0};
                    for (size_t i = 0, used = rng() % size_t(fmt.keyLength + 1); i < used; ++i)
                        e.key[i] = rng() % 4 == 0 ? char(fmt.pad) : "AB"[rng() % 2];
                    const auto at = std::lower_bound(node.entries.begin(), node.entries.end(), e, [](auto& a, auto& b) {
                        return a.key != b.key ? a.key < b.key : a.recno < b.recno;
                    });
                    if (at != node.entries.end() && at->key == e.key && at->recno == e.recno) continue;
                    const long pos = at - node.entries.begin();
                    node.entries.insert(at, e);
                    Page probe;
                    if (!encodeIfFits(node, fmt, probe)) {
                        node.entries.erase(node.entries.begin() + pos);
                        break;
                    }
                }
                Page page;
                ASSERT_TRUE(encodeIfFits(node, fmt, page));
                while (!node.entries.empty()) {
                    const size_t pos = rng() % 4 == 0 ? node.entries.size() - 1 : rng() % node.entries.size();
                    node.entries.erase(node.entries.begin() + long(pos));
                    Page whole, patch;
                    ASSERT_TRUE(encodeIfFits(node, fmt, whole));
                    if (encodeLeafRemove(page, node, pos, fmt, patch)) {
                        ++patched;
                        ASSERT_EQ(patch, whole) << "entry " << pos << " of " << node.entries.size() + 1;
                    }
                    page = whole;
                }
            }
        }
    }
    EXPECT_GT(patched, 10000);
}
