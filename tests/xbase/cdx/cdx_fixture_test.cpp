// Reading compound indexes written by another xBase implementation.

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

#include "cdx_test_util.h"
#include "xbase/error.h"

using namespace xbase;
using cdxtest::fixture;

namespace {

struct PersonRow {
    std::string name, city, age;
};

// people.rows: recno|*|NAME|CITY|AGE|...
std::map<uint32_t, PersonRow> readPeople() {
    std::ifstream in(fixture("people.rows"));
    std::map<uint32_t, PersonRow> out;
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> f;
        std::stringstream ss(line);
        for (std::string part; std::getline(ss, part, '|');) f.push_back(part);
        out[uint32_t(std::stoul(f[0]))] = {f[2], f[3], f[4]};
    }
    return out;
}

const CdxTagSpec& findTag(const std::vector<CdxTagSpec>& tags, const std::string& name) {
    auto it = std::find_if(tags.begin(), tags.end(), [&](const CdxTagSpec& t) { return t.name == name; });
    if (it == tags.end()) throw std::runtime_error("missing tag " + name);
    return *it;
}

}  // namespace

TEST(CdxFixture, PeopleTagsDescribeThemselves) {
    auto index = CdxIndex::open(fixture("people.cdx"), true);
    const auto tags = index->tags();
    std::vector<std::string> names;
    for (const auto& t : tags) names.push_back(t.name);
    EXPECT_EQ(names, (std::vector<std::string>{"NAME", "UPNAME", "AGE", "CITYAGE", "BORN", "UCITY", "ACTNAME"}));

    EXPECT_EQ(findTag(tags, "UPNAME").keyExpression, "UPPER( NAME )");
    EXPECT_EQ(findTag(tags, "CITYAGE").keyLength, 34);
    EXPECT_TRUE(findTag(tags, "AGE").descending);
    EXPECT_FALSE(findTag(tags, "NAME").descending);
    EXPECT_TRUE(findTag(tags, "UCITY").unique);
    EXPECT_FALSE(findTag(tags, "NAME").unique);
    EXPECT_EQ(findTag(tags, "ACTNAME").forExpression, "ACTIVE");
    EXPECT_EQ(findTag(tags, "NAME").forExpression, "");
    EXPECT_EQ(findTag(tags, "BORN").keyType, 'C');   // DTOS() gives text

    ASSERT_TRUE(index->tag("upname"));   // names are not case sensitive
    EXPECT_EQ(index->tag("upname")->name, "UPNAME");
    EXPECT_FALSE(index->tag("NOSUCH"));
    EXPECT_THROW(index->first("NOSUCH"), XbaseError);
}

TEST(CdxFixture, EveryTagWalksInTheRecordedOrderBothWays) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"people.cdx", "NAME"},  {"people.cdx", "UPNAME"}, {"people.cdx", "AGE"}, {"people.cdx", "CITYAGE"},
        {"people.cdx", "BORN"},  {"people.cdx", "UCITY"},  {"people.cdx", "ACTNAME"},
        {"big.cdx", "KEY"},      {"big.cdx", "N"}};
    for (const auto& [file, tag] : cases) {
        SCOPED_TRACE(file + " " + tag);
        auto index = CdxIndex::open(fixture(file), true);
        const std::string base = file.substr(0, file.find('.'));
        const auto expected = cdxtest::readOrder(base + "." + tag + ".order");
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(cdxtest::recnos(cdxtest::walkForward(*index, tag)), expected);
        auto backward = cdxtest::recnos(cdxtest::walkBackward(*index, tag));
        std::reverse(backward.begin(), backward.end());
        EXPECT_EQ(backward, expected);
    }
}

TEST(CdxFixture, TreesOfTheOtherWriterAreWellFormed) {
    EXPECT_EQ(cdxtest::checkTag(fixture("big.cdx"), "KEY"), 60000u);
    EXPECT_EQ(cdxtest::checkTag(fixture("big.cdx"), "N", 0), 60000u);
    EXPECT_EQ(cdxtest::checkTag(fixture("people.cdx"), "CITYAGE"), 2000u);
    EXPECT_EQ(cdxtest::checkTag(fixture("people.cdx"), "ACTNAME"), 1347u);
}

TEST(CdxFixture, NumericKeysDecodeToTheFieldValues) {
    auto index = CdxIndex::open(fixture("big.cdx"), true);
    EXPECT_EQ(index->tag("N")->keyType, 'N');
    const auto first = index->first("N");   // descending: largest first
    ASSERT_TRUE(first);
    EXPECT_EQ(first->key, encodeNumberKey(60000));
    EXPECT_EQ(decodeNumberKey(first->key), 60000.0);
    EXPECT_EQ(decodeNumberKey(index->last("N")->key), 1.0);
    // A descending seek lands on the first key not above the one sought.
    auto hit = index->seek("N", encodeNumberKey(1234.5), false);
    ASSERT_TRUE(hit);
    EXPECT_EQ(decodeNumberKey(hit->key), 1234.0);
    EXPECT_FALSE(index->seek("N", encodeNumberKey(0.5), false));
    EXPECT_EQ(index->seek("N", encodeNumberKey(1e9), false)->recno, 60000u);
}

TEST(CdxFixture, SeeksFindTheFirstEntryOfAKeyInTagOrder) {
    auto index = CdxIndex::open(fixture("people.cdx"), true);
    const auto people = readPeople();
    const auto nameOrder = cdxtest::readOrder("people.NAME.order");
    const auto ageOrder = cdxtest::readOrder("people.AGE.order");
    for (uint32_t recno : {1u, 4u, 777u, 1500u, 2000u}) {
        SCOPED_TRACE(recno);
        const PersonRow& row = people.at(recno);
        auto firstWith = [&](const std::vector<uint32_t>& order, auto same) {
            return *std::find_if(order.begin(), order.end(), [&](uint32_t r) { return same(people.at(r)); });
        };
        auto hit = index->seek("NAME", row.name, false);
        ASSERT_TRUE(hit);
        EXPECT_EQ(hit->key, row.name);
        EXPECT_EQ(hit->recno, firstWith(nameOrder, [&](const PersonRow& p) { return p.name == row.name; }));

        // Descending tag: equal keys run by falling record number.
        hit = index->seek("AGE", row.age, false);
        ASSERT_TRUE(hit);
        EXPECT_EQ(hit->recno, firstWith(ageOrder, [&](const PersonRow& p) { return p.age == row.age; }));
    }
    // A partial key finds the first name that starts with it.
    auto hit = index->seek("NAME", "Ivy", true);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->key.substr(0, 3), "Ivy");
    EXPECT_EQ(hit->recno, nameOrder[size_t(std::find_if(nameOrder.begin(), nameOrder.end(), [&](uint32_t r) {
                                               return people.at(r).name.compare(0, 3, "Ivy") == 0;
                                           }) - nameOrder.begin())]);
    // A key that is not there lands on the next one; past the end, nothing.
    hit = index->seek("UCITY", "Kh", true);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->key.substr(0, 4), "Kiev");
    EXPECT_FALSE(index->seek("UCITY", "Zz", true));
    EXPECT_EQ(index->seek("UCITY", "", true)->key.substr(0, 4), "Baku");
}

TEST(CdxFixture, EmptyIndexHasTagsWithoutEntries) {
    auto index = CdxIndex::open(fixture("empty.cdx"), true);
    const auto tags = index->tags();
    ASSERT_EQ(tags.size(), 2u);
    EXPECT_EQ(tags[0].name, "UNIQUE_ID");
    EXPECT_TRUE(tags[0].unique);
    EXPECT_EQ(tags[1].name, "LINK_ID");
    for (const auto& t : tags) {
        EXPECT_FALSE(index->first(t.name));
        EXPECT_FALSE(index->last(t.name));
        EXPECT_FALSE(index->seek(t.name, "", true));
        EXPECT_FALSE(index->next(t.name, IndexEntry{std::string(20, ' '), 1}));
    }
}

TEST(CdxFixture, ReadOnlyOpenRefusesChanges) {
    auto index = CdxIndex::open(fixture("people.cdx"), true);
    EXPECT_THROW(index->insert("NAME", IndexEntry{"x", 1}), XbaseError);
}

TEST(CdxFixture, TagsRebuiltHereHaveTheSameLeafPagesAsTheOtherWriters) {
    cdxtest::ScratchDir dir;
    for (const std::string name : {"people", "big"}) {
        SCOPED_TRACE(name);
        auto source = CdxIndex::open(fixture(name + ".cdx"), true);
        auto copy = CdxIndex::create(dir.file(name + ".cdx"));
        for (const auto& def : source->tags()) {
            copy->createTag(def, cdxtest::walkForward(*source, def.name));
            const unsigned char pad = def.keyType == 'C' ? ' ' : 0;
            EXPECT_EQ(cdxtest::leafPages(dir.file(name + ".cdx"), def.name, pad),
                      cdxtest::leafPages(fixture(name + ".cdx"), def.name, pad))
                << def.name;
            EXPECT_EQ(cdxtest::tagHeaderBytes(dir.file(name + ".cdx"), def.name),
                      cdxtest::tagHeaderBytes(fixture(name + ".cdx"), def.name))
                << def.name;
        }
    }
}
