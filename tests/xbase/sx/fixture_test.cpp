// Files written by another xBase implementation: every field of every row,
// every tag walked both ways and sought, and the tags kept right by later
// appends, edits, deletes and a pack.

#include <algorithm>
#include <map>
#include <sstream>

#include "sx_test_support.h"

namespace {

using sxtest::EngineTest;

std::vector<int> readOrder(const std::string& file) {
    std::ifstream in(std::string(TARSEL_TEST_DATA) + "/xbase/" + file);
    std::vector<int> out;
    for (int r; in >> r;) out.push_back(r);
    return out;
}

std::vector<std::string> split(const std::string& line) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(line);
    while (std::getline(in, part, '|')) parts.push_back(part);
    if (!line.empty() && line.back() == '|') parts.push_back("");
    return parts;
}

std::string collapse(std::string s) {
    for (char& c : s) if (c == '\r' || c == '\n') c = ' ';
    return s;
}

class SxFixtures : public EngineTest {
protected:
    int openPeople() {
        copyData("people.dbf");
        copyData("people.fpt");
        copyData("people.cdx");
        return sx_Use(path("people.dbf").c_str(), nullptr, SX_SHARED, SX_DRIVER_FOX);
    }

    std::vector<int> liveOnly(const std::vector<int>& order) {
        std::vector<int> out;
        for (int r : order) {
            sx_Go(r);
            if (!sx_Deleted()) out.push_back(r);
        }
        return out;
    }

    // The order a tag must give, computed from the records' keys.
    std::vector<int> expectedOrder(const std::string& tag, const std::string& condition, bool descending) {
        sx_SetOrder(sx_TagArea(tag.c_str()));
        std::vector<std::pair<std::string, int>> keys;
        for (int r = 1; r <= sx_RecCount(); ++r) {
            sx_Go(r);
            if (!condition.empty() && !sx_EvalLogical(condition.c_str())) continue;
            keys.emplace_back(sx_KeyData(), r);
        }
        std::sort(keys.begin(), keys.end());
        if (descending) std::reverse(keys.begin(), keys.end());
        std::vector<int> out;
        for (const auto& k : keys) out.push_back(k.second);
        return out;
    }
};

TEST_F(SxFixtures, PeopleRowsReadFieldByField) {
    ASSERT_GT(openPeople(), 0) << xbase::lastErrorText();
    EXPECT_EQ(sx_RecCount(), 2000);
    EXPECT_EQ(sx_FieldCount(), 7);
    EXPECT_EQ(sx_FieldType("SALARY"), 'N');
    EXPECT_EQ(sx_FieldDecimals("SALARY"), 2);
    std::ifstream in(std::string(TARSEL_TEST_DATA) + "/xbase/people.rows");
    int rows = 0;
    for (std::string line; std::getline(in, line); ++rows) {
        const auto p = split(line);
        ASSERT_EQ(p.size(), 9u) << line;
        sx_Go(std::stoi(p[0]));
        ASSERT_FALSE(sx_Eof());
        EXPECT_EQ(sx_Deleted(), p[1] == "*") << line;
        EXPECT_EQ(sx_GetString("NAME"), p[2]);
        EXPECT_EQ(sx_GetString("CITY"), p[3]);
        EXPECT_EQ(sx_GetString("AGE"), p[4]);
        EXPECT_EQ(sx_GetString("SALARY"), p[5]);
        EXPECT_EQ(sx_GetString("BORN"), p[6]);
        EXPECT_EQ(sx_GetLogical("ACTIVE"), p[7] == "T");
        EXPECT_EQ(collapse(sx_GetString("NOTES")), p[8]) << "row " << p[0];
        if (::testing::Test::HasFailure()) break;
    }
    EXPECT_EQ(rows, 2000);
}

TEST_F(SxFixtures, PeopleTagsWalkBothWaysWithAndWithoutDeletedRows) {
    ASSERT_GT(openPeople(), 0) << xbase::lastErrorText();
    for (const char* tag : {"NAME", "UPNAME", "AGE", "CITYAGE", "BORN", "UCITY", "ACTNAME"}) {
        SCOPED_TRACE(tag);
        const auto order = readOrder(std::string("people.") + tag + ".order");
        ASSERT_TRUE(sx_SetOrder(sx_TagArea(tag)));
        EXPECT_EQ(walkForward(), order);
        auto back = order;
        std::reverse(back.begin(), back.end());
        EXPECT_EQ(walkBackward(), back);
        const auto live = liveOnly(order);
        sx_SetDeleted(-1);
        EXPECT_EQ(walkForward(), live);
        EXPECT_EQ(sx_Count(), static_cast<int32_t>(live.size()));
        sx_SetDeleted(0);
    }
    EXPECT_EQ(sx_SysProp(SX_SP_DESCENDING, sx_TagArea("AGE")), 1);
    EXPECT_EQ(sx_IndexType(sx_TagArea("UCITY")), SX_INDEX_UNIQUE);
    EXPECT_EQ(sx_IndexType(sx_TagArea("ACTNAME")), SX_INDEX_CONDITIONAL);
}

TEST_F(SxFixtures, PeopleSeekFindsTheFirstRowOfEveryKey) {
    ASSERT_GT(openPeople(), 0) << xbase::lastErrorText();
    for (const char* tag : {"NAME", "AGE", "CITYAGE", "BORN"}) {
        SCOPED_TRACE(tag);
        ASSERT_TRUE(sx_SetOrder(sx_TagArea(tag)));
        std::map<std::string, int> first;
        for (int r : readOrder(std::string("people.") + tag + ".order")) {
            sx_Go(r);
            first.emplace(sx_KeyData(), r);
        }
        int checked = 0;
        for (const auto& [key, recNo] : first) {
            if (checked++ % 7 != 0) continue;
            EXPECT_TRUE(sx_Seek(key.c_str())) << key;
            EXPECT_EQ(sx_RecNo(), recNo) << key;
        }
    }
}

TEST_F(SxFixtures, BigTablesDeepTreesBothWays) {
    copyData("big.dbf");
    copyData("big.cdx");
    ASSERT_GT(sx_Use(path("big.dbf").c_str(), nullptr, SX_READONLY, SX_DRIVER_FOX), 0) << xbase::lastErrorText();
    for (const char* tag : {"KEY", "N"}) {
        SCOPED_TRACE(tag);
        const auto order = readOrder(std::string("big.") + tag + ".order");
        ASSERT_TRUE(sx_SetOrder(sx_TagArea(tag)));
        EXPECT_EQ(walkForward(), order);
        auto back = order;
        std::reverse(back.begin(), back.end());
        EXPECT_EQ(walkBackward(), back);
    }
    ASSERT_TRUE(sx_SetOrder(sx_TagArea("N")));
    EXPECT_TRUE(sx_Seek("30000"));
    EXPECT_EQ(sx_RecNo(), 30000);
    EXPECT_FALSE(sx_Seek("60001"));
    EXPECT_EQ(sx_AppendEx(), SX_APPEND_READONLY);
}

TEST_F(SxFixtures, EmptyTableWithUniqueTag) {
    copyData("empty.dbf");
    copyData("empty.cdx");
    ASSERT_GT(sx_Use(path("EMPTY.DBF").c_str(), nullptr, SX_SHARED, SX_DRIVER_FOX), 0) << xbase::lastErrorText();
    ASSERT_TRUE(sx_SetOrder(sx_TagArea("UNIQUE_ID")));
    sx_GoTop();
    EXPECT_TRUE(sx_Eof() && sx_Bof());
    for (const char* id : {"B", "A", "B"}) {
        ASSERT_EQ(sx_AppendEx(), SX_APPEND_OK);
        ASSERT_TRUE(sx_Replace("UNIQUE_ID", SX_R_CHAR, id));
        ASSERT_TRUE(sx_Replace("LINK_ID", SX_R_CHAR, "P"));
    }
    EXPECT_EQ(walkForward(), (std::vector<int>{2, 1}));
    ASSERT_TRUE(sx_SetOrder(sx_TagArea("LINK_ID")));
    ASSERT_TRUE(sx_SetScope("P", "P"));
    EXPECT_EQ(walkForward(), (std::vector<int>{1, 2, 3}));
}

TEST_F(SxFixtures, TagsStayRightAfterAppendsEditsDeletesAndPack) {
    ASSERT_GT(openPeople(), 0) << xbase::lastErrorText();
    sx_SetOrder(0);
    for (int i = 0; i < 40; ++i) {
        ASSERT_EQ(sx_AppendEx(), SX_APPEND_OK);
        const std::string name = "New " + std::to_string(i % 7);
        ASSERT_TRUE(sx_Replace("NAME", SX_R_CHAR, name.c_str()));
        ASSERT_TRUE(sx_Replace("CITY", SX_R_CHAR, i % 2 ? "Lima" : "Zagreb"));
        const double age = i % 90;
        ASSERT_TRUE(sx_Replace("AGE", SX_R_DOUBLE, &age));
        ASSERT_TRUE(sx_Replace("BORN", SX_R_DATESTR, "02/03/71"));
        const bool active = i % 3 == 0;
        ASSERT_TRUE(sx_Replace("ACTIVE", SX_R_LOGICAL, &active));
    }
    for (int r = 3; r <= 2040; r += 37) {
        sx_Go(r);
        const std::string name = "Edited " + std::to_string(r % 5);
        ASSERT_TRUE(sx_Replace("NAME", SX_R_CHAR, name.c_str()));
        const bool active = r % 2 == 0;
        ASSERT_TRUE(sx_Replace("ACTIVE", SX_R_LOGICAL, &active));
        if (r % 3 == 0) {
            ASSERT_TRUE(sx_Delete());
        }
    }
    struct Tag { const char* name; const char* condition; bool descending; };
    const Tag tags[] = {{"NAME", "", false}, {"UPNAME", "", false}, {"AGE", "", true},
                        {"CITYAGE", "", false}, {"BORN", "", false}, {"ACTNAME", "ACTIVE", false}};
    for (const Tag& t : tags) {
        SCOPED_TRACE(t.name);
        const auto expected = expectedOrder(t.name, t.condition, t.descending);
        EXPECT_EQ(walkForward(), expected);
    }
    // Pack needs an exclusive open; then every tag, the unique one too, is rebuilt.
    EXPECT_FALSE(sx_Pack());
    sx_CloseAll();
    ASSERT_GT(sx_Use(path("people.dbf").c_str(), nullptr, SX_EXCLUSIVE, SX_DRIVER_FOX), 0) << xbase::lastErrorText();
    const int before = sx_RecCount();
    sx_SetDeleted(-1);
    sx_SetOrder(0);
    const int live = sx_Count();
    ASSERT_TRUE(sx_Pack()) << xbase::lastErrorText();
    EXPECT_EQ(sx_RecCount(), live);
    EXPECT_LT(live, before);
    sx_SetDeleted(0);
    for (const Tag& t : tags) {
        SCOPED_TRACE(t.name);
        EXPECT_EQ(walkForward(), expectedOrder(t.name, t.condition, t.descending));
    }
    // A unique tag after a rebuild holds the first row of each city.
    ASSERT_TRUE(sx_SetOrder(sx_TagArea("UCITY")));
    std::map<std::string, int> firstOfCity;
    for (int r = 1; r <= sx_RecCount(); ++r) {
        sx_Go(r);
        firstOfCity.emplace(sx_GetString("CITY"), r);
    }
    std::vector<int> expected;
    for (const auto& c : firstOfCity) expected.push_back(c.second);
    EXPECT_EQ(walkForward(), expected);
    // Memos survived the pack attached to their rows: each note names the
    // row it was written for, whose other fields must match.
    std::ifstream in(std::string(TARSEL_TEST_DATA) + "/xbase/people.rows");
    std::map<std::string, std::vector<std::string>> rowsByNumber;
    for (std::string line; std::getline(in, line);) {
        const auto p = split(line);
        rowsByNumber[p[0]] = p;
    }
    sx_SetOrder(0);
    int memos = 0;
    for (int r = 1; r <= sx_RecCount(); ++r) {
        sx_Go(r);
        const std::string note = collapse(sx_GetString("NOTES"));
        if (note.empty()) continue;
        ASSERT_EQ(note.rfind("note of row ", 0), 0u) << note;
        const auto& original = rowsByNumber.at(note.substr(12, note.find(' ', 12) - 12));
        EXPECT_EQ(note, original[8]);
        EXPECT_EQ(sx_GetString("CITY") + sx_GetString("AGE") + sx_GetString("SALARY") + sx_GetString("BORN"),
                  original[3] + original[4] + original[5] + original[6]);
        ++memos;
    }
    EXPECT_GT(memos, 10);
}

}  // namespace
