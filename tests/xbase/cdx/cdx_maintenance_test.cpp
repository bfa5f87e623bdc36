// Building and changing tags here: the tree must stay well formed and hold
// exactly what a simple model holds, through splits and merges.

#include <algorithm>
#include <filesystem>
#include <random>
#include <set>

#include "cdx_test_util.h"
#include "xbase/error.h"

using namespace xbase;

namespace {

using Model = std::set<std::pair<std::string, uint32_t>>;

CdxTagSpec charTag(const std::string& name, int keyLength, bool descending = false, bool unique = false) {
    CdxTagSpec s;
    s.name = name;
    s.keyExpression = name;
    s.keyLength = keyLength;
    s.descending = descending;
    s.unique = unique;
    return s;
}

std::vector<IndexEntry> modelOrder(const Model& m, bool descending) {
    std::vector<IndexEntry> out;
    for (const auto& [k, r] : m) out.push_back({k, r});
    if (descending) std::reverse(out.begin(), out.end());
    return out;
}

void expectSame(CdxIndex& index, const std::string& tag, const Model& model, bool descending, unsigned char pad = ' ') {
    EXPECT_EQ(cdxtest::checkTag(index.path(), tag, pad), model.size());
    const auto expected = modelOrder(model, descending);
    EXPECT_EQ(cdxtest::walkForward(index, tag), expected);
    auto back = cdxtest::walkBackward(index, tag);
    std::reverse(back.begin(), back.end());
    EXPECT_EQ(back, expected);
}

// Keys from a small alphabet, so that many repeat and many share prefixes.
std::string randomKey(std::mt19937& rng, int keyLength) {
    static const char letters[] = "ABCD ";
    std::string k(size_t(keyLength), ' ');
    const int used = int(rng() % 6) + 1;
    for (int i = 0; i < used; ++i) k[size_t(i)] = letters[rng() % 5];
    return k;
}

}  // namespace

TEST(CdxMaintenance, RandomInsertsAndRemovesMatchAModelThroughManyLevels) {
    cdxtest::ScratchDir dir;
    for (const bool descending : {false, true}) {
        SCOPED_TRACE(descending ? "descending" : "ascending");
        const std::string path = dir.file(descending ? "d.cdx" : "a.cdx");
        auto index = CdxIndex::create(path);
        // Long keys make small pages: a few entries per page, many levels.
        const int keyLength = 100;
        index->createTag(charTag("T", keyLength, descending), {});
        std::mt19937 rng(descending ? 7 : 11);
        Model model;
        for (int round = 0; round < 3; ++round) {
            for (int i = 0; i < 1500; ++i) {
                const std::string k = randomKey(rng, keyLength);
                const uint32_t r = rng() % 5000 + 1;
                index->insert("T", {k, r});
                model.insert({k, r});
            }
            int depth = 0;
            cdxtest::checkTag(path, "T", ' ', &depth);
            EXPECT_GE(depth, 4);
            expectSame(*index, "T", model, descending);
            std::vector<std::pair<std::string, uint32_t>> all(model.begin(), model.end());
            std::shuffle(all.begin(), all.end(), rng);
            for (size_t i = 0; i < all.size() * 2 / 3; ++i) {
                index->remove("T", {all[i].first, all[i].second});
                model.erase(all[i]);
            }
            index->remove("T", {std::string(size_t(keyLength), 'Z'), 1});   // not there: nothing happens
            expectSame(*index, "T", model, descending);
        }
        for (const auto& e : Model(model)) index->remove("T", {e.first, e.second});
        model.clear();
        expectSame(*index, "T", model, descending);
        // Pages freed by the removals are used again.
        const auto sizeEmpty = std::filesystem::file_size(path);
        for (uint32_t r = 1; r <= 300; ++r) index->insert("T", {randomKey(rng, keyLength), r});
        EXPECT_EQ(std::filesystem::file_size(path), sizeEmpty);
    }
}

TEST(CdxMaintenance, NavigationContinuesFromAnEntryRemovedMeanwhile) {
    cdxtest::ScratchDir dir;
    auto index = CdxIndex::create(dir.file("n.cdx"));
    std::vector<IndexEntry> entries;
    for (uint32_t r = 1; r <= 2000; ++r) entries.push_back({std::string(1, char('a' + r % 20)) + std::to_string(r), r});
    index->createTag(charTag("K", 12), entries);
    auto at = index->seek("K", "c", true);
    ASSERT_TRUE(at);
    const auto following = index->next("K", *at);
    const auto preceding = index->prev("K", *at);
    index->remove("K", *at);
    EXPECT_EQ(index->next("K", *at), following);
    EXPECT_EQ(index->prev("K", *at), preceding);
    // An entry put in after the cursor's position shows up on the next step.
    index->insert("K", {at->key, at->recno + 5000});
    EXPECT_EQ(index->next("K", *at)->recno, at->recno + 5000);
}

TEST(CdxMaintenance, BuiltTagsHoldEveryEntryInOrder) {
    cdxtest::ScratchDir dir;
    auto index = CdxIndex::create(dir.file("b.cdx"));
    std::mt19937 rng(3);
    std::vector<IndexEntry> entries;
    Model model;
    for (uint32_t r = 1; r <= 100000; ++r) {
        IndexEntry e{randomKey(rng, 10), r};
        model.insert({e.key, e.recno});
        entries.push_back(e);
    }
    entries.push_back(entries[5]);   // the same entry twice is kept once
    std::shuffle(entries.begin(), entries.end(), rng);
    index->createTag(charTag("BIG", 10), entries);
    expectSame(*index, "BIG", model, false);
    // Record numbers too large for three bytes per entry.
    index->insert("BIG", {std::string(10, 'A'), 0x00FFFFFF});
    model.insert({std::string(10, 'A'), 0x00FFFFFF});
    EXPECT_EQ(cdxtest::checkTag(index->path(), "BIG"), model.size());
    EXPECT_EQ(index->seek("BIG", std::string(10, 'A'), false)->recno, model.lower_bound({std::string(10, 'A'), 0})->second);
}

TEST(CdxMaintenance, NumericDescendingTagOrdersByValue) {
    cdxtest::ScratchDir dir;
    auto index = CdxIndex::create(dir.file("num.cdx"));
    CdxTagSpec def = charTag("AMOUNT", 8, true);
    def.keyType = 'N';
    const std::vector<double> values = {0, -0.0, 1, -1, 2.5, -2.5, 1e10, -1e10, 0.001, 100, 100, -1e-300, 7};
    std::vector<IndexEntry> entries;
    for (size_t i = 0; i < values.size(); ++i) entries.push_back({encodeKey(Value::numeric(values[i]), def), uint32_t(i + 1)});
    index->createTag(def, entries);
    std::vector<std::pair<double, uint32_t>> want;
    for (size_t i = 0; i < values.size(); ++i) want.push_back({values[i] == 0 ? 0 : values[i], uint32_t(i + 1)});
    std::sort(want.rbegin(), want.rend());
    std::vector<std::pair<double, uint32_t>> got;
    for (const auto& e : cdxtest::walkForward(*index, "AMOUNT")) got.push_back({decodeNumberKey(e.key), e.recno});
    EXPECT_EQ(got, want);
    // Reopened, the tag's keys are still read as numbers (trailing zero bytes restored).
    index.reset();
    index = CdxIndex::open(dir.file("num.cdx"), false);
    EXPECT_EQ(index->tag("AMOUNT")->keyType, 'N');
    EXPECT_EQ(decodeNumberKey(index->first("AMOUNT")->key), 1e10);
    EXPECT_EQ(index->seek("AMOUNT", encodeNumberKey(100), false)->recno, 11u);   // equal keys: highest record first
    const Value date = Value::date(2451545);
    EXPECT_EQ(decodeNumberKey(encodeKey(date, def)), 2451545.0);
}

TEST(CdxMaintenance, UniqueTagKeepsTheFirstRecordOfAKey) {
    cdxtest::ScratchDir dir;
    auto index = CdxIndex::create(dir.file("u.cdx"));
    index->createTag(charTag("U", 4, false, true), {{"bbbb", 9}, {"aaaa", 5}, {"bbbb", 3}, {"aaaa", 7}});
    EXPECT_EQ(cdxtest::walkForward(*index, "U"), (std::vector<IndexEntry>{{"aaaa", 5}, {"bbbb", 3}}));
    index->insert("U", {"aaaa", 1});   // key already there: ignored
    EXPECT_EQ(index->seek("U", "aaaa", false)->recno, 5u);
    index->remove("U", {"aaaa", 1});   // not the kept record: nothing happens
    EXPECT_EQ(index->seek("U", "aaaa", false)->recno, 5u);
    index->remove("U", {"aaaa", 5});
    EXPECT_EQ(index->seek("U", "aaaa", false)->key, "bbbb");
    index->insert("U", {"aaaa", 7});
    EXPECT_EQ(index->seek("U", "aaaa", false)->recno, 7u);
}

TEST(CdxMaintenance, TagsAreCreatedReplacedAndDropped) {
    cdxtest::ScratchDir dir;
    const std::string path = dir.file("t.cdx");
    auto index = CdxIndex::create(path);
    // More tags than one directory page holds.
    for (int i = 0; i < 80; ++i) {
        CdxTagSpec s = charTag("TAG" + std::to_string(i), 6);
        if (i % 3 == 0) s.forExpression = "ACTIVE";
        index->createTag(s, {{"k" + std::to_string(i), uint32_t(i + 1)}});
    }
    auto tags = index->tags();
    ASSERT_EQ(tags.size(), 80u);
    EXPECT_EQ(tags[0].name, "TAG0");   // in the order they were made
    EXPECT_EQ(tags[79].name, "TAG79");
    EXPECT_EQ(tags[3].forExpression, "ACTIVE");
    EXPECT_EQ(tags[4].forExpression, "");
    for (int i = 0; i < 80; i += 2) index->dropTag("TAG" + std::to_string(i));
    tags = index->tags();
    ASSERT_EQ(tags.size(), 40u);
    EXPECT_EQ(tags[0].name, "TAG1");
    EXPECT_EQ(index->first("TAG41")->key, "k41   ");
    EXPECT_THROW(index->dropTag("TAG0"), XbaseError);

    // Replacing a tag keeps its place and frees its old pages.
    std::vector<IndexEntry> many;
    for (uint32_t r = 1; r <= 5000; ++r) many.push_back({std::to_string(r), r});
    index->createTag(charTag("TAG41", 6, true), many);
    const auto size = std::filesystem::file_size(path);
    index->createTag(charTag("TAG41", 6, true), many);
    EXPECT_EQ(std::filesystem::file_size(path), size);
    EXPECT_EQ(index->tags()[20].name, "TAG41");
    EXPECT_TRUE(index->tag("TAG41")->descending);
    EXPECT_EQ(index->first("TAG41")->key, "999   ");
    EXPECT_EQ(cdxtest::checkTag(path, "TAG41"), 5000u);
    EXPECT_THROW(index->createTag(charTag("BAD NAME", 6), {}), XbaseError);
    EXPECT_THROW(index->createTag(charTag("LONGERTHAN10", 6), {}), XbaseError);
}

TEST(CdxMaintenance, ChangeCounterMovesOnEveryChangeOnly) {
    cdxtest::ScratchDir dir;
    auto writer = CdxIndex::create(dir.file("c.cdx"));
    auto reader = CdxIndex::open(dir.file("c.cdx"), true);
    writer->createTag(charTag("T", 4), {});
    const uint32_t c0 = reader->changeCounter();
    EXPECT_FALSE(reader->first("T"));
    writer->insert("T", {"abcd", 1});
    const uint32_t c1 = reader->changeCounter();
    EXPECT_NE(c1, c0);
    EXPECT_EQ(reader->first("T")->key, "abcd");   // the reader's cache does not hide the change
    writer->remove("T", {"zzzz", 1});
    EXPECT_EQ(reader->changeCounter(), c1);
    writer->remove("T", {"abcd", 1});
    EXPECT_NE(reader->changeCounter(), c1);
    EXPECT_FALSE(reader->first("T"));
}

TEST(CdxMaintenance, KeyTypeGivenAfterOpenDecidesHowShortKeysRead) {
    cdxtest::ScratchDir dir;
    const std::string path = dir.file("k.cdx");
    // A character field of width 8 looks like a number to the guess.
    CdxIndex::create(path)->createTag(charTag("CODE", 8), {{"AB", 1}, {"ABC", 2}});
    auto index = CdxIndex::open(path, false);
    EXPECT_EQ(index->tag("CODE")->keyType, 'N');
    index->setKeyType("code", 'C');
    EXPECT_EQ(index->tag("CODE")->keyType, 'C');
    EXPECT_EQ(index->first("CODE")->key, "AB      ");
    EXPECT_EQ(index->seek("CODE", "ABC", false)->recno, 2u);
    index->insert("CODE", {"A", 3});
    EXPECT_EQ(cdxtest::walkForward(*index, "CODE").front(), (IndexEntry{"A       ", 3}));
    EXPECT_THROW(index->setKeyType("CODE", 'X'), XbaseError);
}
