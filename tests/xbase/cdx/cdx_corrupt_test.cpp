// Damaged index files must end in a clear XbaseError: no crash, no endless walk.

#include <filesystem>
#include <fstream>
#include <random>

#include "cdx_test_util.h"
#include "xbase/cdx/cdx_bytes.h"
#include "xbase/error.h"

using namespace xbase;

namespace {

void patch(const std::string& path, uint32_t offset, const std::vector<unsigned char>& bytes) {
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(offset);
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::vector<unsigned char> le32(uint32_t v) { return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}; }

std::vector<unsigned char> be32(uint32_t v) { return {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)}; }

// Header offset and root page of a tag, read through the internals.
std::pair<uint32_t, uint32_t> headerAndRoot(const std::string& path, const std::string& tag) {
    using namespace xbase::cdx;
    auto file = CdxFile::open(path, true, false);
    CdxFile::Hold hold(*file, false);
    std::string key = tag;
    key.resize(10, ' ');
    auto e = CdxTree(*file, 0, KeyFormat{10, ' '}).firstWhere([&](const NodeEntry& x) { return x.key >= key; });
    return {e->recno, readLe32(file->page(e->recno).data())};
}

// Walks every tag both ways, a bounded number of steps; gives the error text, if any.
std::string walkAll(const std::string& path) {
    try {
        auto index = CdxIndex::open(path, false);
        for (const auto& t : index->tags()) {
            int steps = 0;
            for (auto e = index->first(t.name); e && steps < 5000; e = index->next(t.name, *e)) ++steps;
            steps = 0;
            for (auto e = index->last(t.name); e && steps < 5000; e = index->prev(t.name, *e)) ++steps;
            index->seek(t.name, "M", true);
            index->insert(t.name, {"Zed", 3000});
            index->remove(t.name, {"Zed", 3000});
        }
    } catch (const XbaseError& e) {
        return e.what();
    }
    return "";
}

std::string errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const XbaseError& e) {
        return e.what();
    }
    return "";
}

}  // namespace

TEST(CdxCorrupt, DamagedPagesGiveClearErrors) {
    cdxtest::ScratchDir dir;
    const std::string pristine = dir.copyFixture("people.cdx");
    const auto [header, root] = headerAndRoot(pristine, "NAME");   // an interior root
    struct Case {
        const char* what;
        uint32_t offset;
        std::vector<unsigned char> bytes;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"child points back to the root", root + 12 + 20 + 4, be32(root), "deeper than any index"},
        {"child beyond the end of the file", root + 12 + 20 + 4, be32(0x7FFFF000), "beyond the end"},
        {"child not on a page boundary", root + 12 + 20 + 4, be32(root + 3), "invalid page"},
        {"child inside the file header", root + 12 + 20 + 4, be32(512), "inside the file header"},
        {"impossible key count", root + 2, {0xFF, 0x7F}, "impossible key count"},
        {"unknown page attributes", root, {0x09, 0x00}, "unknown attributes"},
        {"root pointer off the pages", header, le32(77), "invalid root page"},
        {"impossible key length", header + 12, {0x00, 0x10}, "impossible key length"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = dir.file("case.cdx");
        std::filesystem::copy_file(pristine, path, std::filesystem::copy_options::overwrite_existing);
        patch(path, c.offset, c.bytes);
        auto index = CdxIndex::open(path, false);
        const std::string message = errorOf([&] { index->first("NAME"); });
        EXPECT_NE(message.find(c.message), std::string::npos) << message;
        EXPECT_NE(message.find("corrupt"), std::string::npos) << message;
        EXPECT_NE(errorOf([&] { index->insert("NAME", {"Bob", 1}); }), "");
        EXPECT_EQ(index->first("UCITY")->recno, 10u);   // other tags still read
    }
}

TEST(CdxCorrupt, LeafLinksInALoopEndTheWalk) {
    cdxtest::ScratchDir dir;
    const std::string path = dir.file("loop.cdx");
    auto index = CdxIndex::create(path);
    CdxTagSpec s;
    s.name = "T";
    s.keyLength = 4;
    std::vector<IndexEntry> entries;
    for (uint32_t r = 1; r <= 1000; ++r) entries.push_back({"k" + std::to_string(r % 10), r});
    index->createTag(s, entries);
    const auto [header, root] = headerAndRoot(path, "T");
    // The first leaf's left link points at itself: walking back from its first entry must stop.
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> page(512);
    in.seekg(root + 12 + 4 + 4);
    in.read(reinterpret_cast<char*>(page.data()), 4);
    const uint32_t firstLeaf = cdx::readBe32(page.data());
    patch(path, firstLeaf + 4, le32(firstLeaf));
    const auto first = index->first("T");
    ASSERT_TRUE(first);
    const std::string message = errorOf([&] { index->prev("T", *first); });
    EXPECT_NE(message.find("links to itself"), std::string::npos) << message;
}

TEST(CdxCorrupt, LastLeafLinkedBackToTheFirstEndsAForwardWalk) {
    cdxtest::ScratchDir dir;
    const std::string path = dir.file("ring.cdx");
    auto index = CdxIndex::create(path);
    CdxTagSpec s;
    s.name = "T";
    s.keyLength = 4;
    std::vector<IndexEntry> entries;
    for (uint32_t r = 1; r <= 1000; ++r) entries.push_back({"k" + std::to_string(r % 10), r});
    index->createTag(s, entries);
    const auto [header, root] = headerAndRoot(path, "T");
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> word(4);
    auto readAt = [&](uint32_t offset) {
        in.seekg(offset);
        in.read(reinterpret_cast<char*>(word.data()), 4);
    };
    readAt(root + 12 + 4 + 4);
    const uint32_t firstLeaf = cdx::readBe32(word.data());
    uint32_t lastLeaf = firstLeaf;
    for (readAt(lastLeaf + 8); cdx::readLe32(word.data()) != 0xFFFFFFFFu; readAt(lastLeaf + 8))
        lastLeaf = cdx::readLe32(word.data());
    ASSERT_NE(lastLeaf, firstLeaf);
    // The leaf a walk ends on now leads back to the start: it must not go round.
    patch(path, lastLeaf + 8, le32(firstLeaf));
    auto damaged = CdxIndex::open(path, false);
    size_t steps = 0;
    const std::string message = errorOf([&] {
        for (auto e = damaged->first("T"); e && steps <= 2 * entries.size(); e = damaged->next("T", *e)) ++steps;
    });
    EXPECT_LE(steps, entries.size()) << message;
}

TEST(CdxCorrupt, FilesThatAreNoIndexAreRefused) {
    cdxtest::ScratchDir dir;
    std::ofstream(dir.file("short.cdx")) << "tiny";
    EXPECT_NE(errorOf([&] { CdxIndex::open(dir.file("short.cdx"), true); }).find("too short"), std::string::npos);
    EXPECT_THROW(CdxIndex::open(dir.file("missing.cdx"), true), XbaseError);
    // The table itself is no index.
    EXPECT_THROW(CdxIndex::open(cdxtest::fixture("people.dbf"), true), XbaseError);

    // A cut-off file: the tags whose pages are gone say so.
    const std::string cut = dir.copyFixture("people.cdx");
    std::filesystem::resize_file(cut, 40000);
    auto index = CdxIndex::open(cut, true);
    const std::string message = errorOf([&] { cdxtest::walkForward(*index, "ACTNAME"); });
    EXPECT_NE(message.find("beyond the end of the file"), std::string::npos) << message;
}

TEST(CdxCorrupt, RandomDamageNeverCrashesOrHangs) {
    cdxtest::ScratchDir dir;
    const std::string pristine = dir.copyFixture("people.cdx");
    const auto size = std::filesystem::file_size(pristine);
    std::mt19937 rng(99);
    int errors = 0;
    const int trials = std::getenv("CDX_FUZZ_TRIALS") ? std::atoi(std::getenv("CDX_FUZZ_TRIALS")) : 150;
    for (int trial = 0; trial < trials; ++trial) {
        const std::string path = dir.file("fuzz.cdx");
        std::filesystem::copy_file(pristine, path, std::filesystem::copy_options::overwrite_existing);
        for (int n = 0; n < 8; ++n) {
            // Damage where it hurts: page headers, entries and header fields.
            const uint32_t page = uint32_t(rng() % (size / 512)) * 512;
            patch(path, page + uint32_t(rng() % (n % 2 ? 512 : 32)), {uint8_t(rng())});
        }
        if (!walkAll(path).empty()) ++errors;
    }
    EXPECT_GT(errors, 0);
}
