// A change writes its pages that lie close together in one call, writing
// the pages between them over with the bytes this open holds of them. Those
// bytes must be the file's own: no change of another open, nor a page
// another program patched without telling, may be put back to older bytes.

#include <fstream>

#include "cdx_test_util.h"

using namespace xbase;

namespace {

// Three tags made on no entries: their first leaves lie close together in
// the file, with the tags' headers between them.
std::string threeSmallTags(const cdxtest::ScratchDir& dir) {
    const std::string path = dir.file("runs.cdx");
    auto index = CdxIndex::create(path);
    for (const char* t : {"A", "B", "C"}) index->createTag(cdxtest::tag(t), {});
    return path;
}

std::string keyOf(const char* tag, int i) { return std::string(tag) + std::to_string(1000 + i); }

// Applies the changes as the table does, starting again when the file
// turned out to have changed since this open last looked.
void applyOneByOne(CdxIndex& index, const std::vector<IndexChange>& changes) {
    for (int tries = 0; tries < 3; ++tries)
        if (index.applyIfUnchanged(changes, index.foreignGeneration(), true)) return;
    FAIL() << "the changes were never made";
}

}  // namespace

TEST(CdxPageRuns, TwoOpensChangingNeighbouringPagesInTurnLoseNothing) {
    cdxtest::ScratchDir dir;
    const std::string path = threeSmallTags(dir);
    auto x = CdxIndex::open(path, false);
    auto y = CdxIndex::open(path, false);
    for (int i = 0; i < 40; ++i) {
        // x's change spans B's page, which y changes in between.
        applyOneByOne(*x, {{"A", {keyOf("A", i), uint32_t(i + 1)}, true}, {"C", {keyOf("C", i), uint32_t(i + 1)}, true}});
        y->insert("B", {keyOf("B", i), uint32_t(i + 1)});
    }
    for (const char* t : {"A", "B", "C"}) {
        EXPECT_EQ(cdxtest::checkTag(path, t), 40u) << t;
        EXPECT_EQ(cdxtest::walkForward(*x, t).size(), 40u) << t;
    }
}

TEST(CdxPageRuns, APagePatchedByAnotherProgramIsNotWrittenBackOver) {
    cdxtest::ScratchDir dir;
    const std::string path = threeSmallTags(dir);
    auto index = CdxIndex::open(path, false);
    applyOneByOne(*index, {{"A", {"a", 1}, true}, {"B", {"b", 1}, true}, {"C", {"c", 1}, true}});
    // Another program puts its own key in B's leaf in place, and leaves the
    // change counter as this open last saw it.
    const std::string seen = cdxtest::bytesOf(path).substr(8, 4);
    CdxIndex::open(path, false)->insert("B", {"patched", 2});
    {
        std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(8);
        f.write(seen.data(), 4);
    }
    applyOneByOne(*index, {{"A", {"a2", 3}, true}, {"C", {"c2", 3}, true}});
    std::vector<std::string> keysB;
    for (const auto& e : cdxtest::walkForward(*index, "B")) keysB.push_back(e.key.substr(0, e.key.find(' ')));
    EXPECT_EQ(keysB, (std::vector<std::string>{"b", "patched"}));
    EXPECT_EQ(cdxtest::checkTag(path, "A"), 2u);
    EXPECT_EQ(cdxtest::checkTag(path, "C"), 2u);
}
