// A table and compound index made by another xBase tool: its descending,
// unique and conditional tags walk, scope and take edits as ours do.

#include "sx_extra_support.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

namespace sxextra {
namespace {

struct PersonRow {
    int recno = 0;
    bool deleted = false;
    std::string city;
    int age = 0;
    std::string notes;
};

std::vector<PersonRow> readRows() {
    std::ifstream in(std::string(TARSEL_TEST_DATA) + "/xbase/people.rows");
    std::vector<PersonRow> rows;
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> p;
        std::stringstream parts(line);
        std::string part;
        while (std::getline(parts, part, '|')) p.push_back(part);
        if (p.size() < 5) continue;
        rows.push_back({std::stoi(p[0]), p[1] == "*", p[3], std::stoi(p[4]), p.size() > 8 ? p[8] : ""});
    }
    return rows;
}

Recs readOrder(const std::string& tag) {
    std::ifstream in(std::string(TARSEL_TEST_DATA) + "/xbase/people." + tag + ".order");
    Recs order;
    int n = 0;
    while (in >> n) order.push_back(n);
    return order;
}

class ForeignFiles : public SxTest {
protected:
    void SetUp() override {
        SxTest::SetUp();
        for (const char* ext : {".dbf", ".fpt", ".cdx"}) {
            const std::string name = std::string("people") + ext;
            std::filesystem::copy_file(std::string(TARSEL_TEST_DATA) + "/xbase/" + name, path(name));
            std::filesystem::permissions(path(name), std::filesystem::perms::owner_write,
                                         std::filesystem::perm_options::add);
        }
        ASSERT_GT(open("people.dbf"), 0) << xbase::lastErrorText();
        rows_ = readRows();
        ASSERT_EQ(rows_.size(), 2000u);
    }
    void order(const char* tag) { ASSERT_TRUE(sx_SetOrder(sx_TagArea(tag))) << tag; }
    std::vector<PersonRow> rows_;
};

TEST_F(ForeignFiles, TagsWalkInTheirStoredOrder) {
    for (const char* tag : {"AGE", "UCITY", "ACTNAME", "CITYAGE"}) {
        order(tag);
        const Recs expected = readOrder(tag);
        EXPECT_EQ(walkForward(), expected) << tag;
        Recs backward = expected;
        std::reverse(backward.begin(), backward.end());
        EXPECT_EQ(walkBackward(), backward) << tag;
    }
}

TEST_F(ForeignFiles, ScopeOnTheDescendingAgeTag) {
    order("AGE");
    EXPECT_EQ(sx_SysProp(SX_SP_DESCENDING, 0), 1);
    ASSERT_TRUE(sx_SetScope("  30", "  39"));
    Recs expected;
    for (int r : readOrder("AGE"))
        if (rows_[static_cast<size_t>(r - 1)].age >= 30 && rows_[static_cast<size_t>(r - 1)].age <= 39) expected.push_back(r);
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(walkForward(), expected);
    EXPECT_EQ(sx_Count(), static_cast<int32_t>(expected.size()));
    sx_SetDeleted(-1);
    const auto live = std::count_if(expected.begin(), expected.end(),
                                    [&](int r) { return !rows_[static_cast<size_t>(r - 1)].deleted; });
    EXPECT_EQ(sx_Count(), static_cast<int32_t>(live));
}

TEST_F(ForeignFiles, ScopeOnTheUniqueCityTag) {
    order("UCITY");
    std::map<std::string, int> firstOfCity;
    for (const PersonRow& r : rows_) firstOfCity.emplace(r.city, r.recno);
    const std::string city = firstOfCity.begin()->first;
    ASSERT_TRUE(sx_SetScope(city.c_str(), city.c_str()));
    EXPECT_EQ(walkForward(), (Recs{firstOfCity.begin()->second}));
    ASSERT_TRUE(sx_SetScope("", ""));
    EXPECT_EQ(sx_Count(), static_cast<int32_t>(firstOfCity.size()));
}

TEST_F(ForeignFiles, QueriesReadMemoTexts) {
    Recs expected;
    for (const PersonRow& r : rows_)
        if (r.notes.find("row 1") != std::string::npos) expected.push_back(r.recno);
    ASSERT_FALSE(expected.empty());
    ASSERT_TRUE(sx_Query("'row 1' $ NOTES")) << xbase::lastErrorText();
    EXPECT_EQ(walkForward(), expected);
    ASSERT_TRUE(sx_Query("!EMPTY(NOTES) .AND. AGE > 200"));
    EXPECT_EQ(sx_Count(), 0);
}

TEST_F(ForeignFiles, EditsKeepTheForeignTagsInOrder) {
    // Move the oldest person to age 0 and deactivate the first of ACTNAME.
    order("AGE");
    sx_GoTop();
    const int oldest = sx_RecNo();
    ASSERT_TRUE(replaceNumber("AGE", 0)) << xbase::lastErrorText();
    rows_[static_cast<size_t>(oldest - 1)].age = 0;
    std::vector<std::pair<int, int>> byAge;   // keys "STR(AGE, 4)" sort as the ages do
    for (const PersonRow& r : rows_) byAge.emplace_back(r.age, r.recno);
    std::sort(byAge.rbegin(), byAge.rend());
    Recs descending;
    for (const auto& e : byAge) descending.push_back(e.second);
    EXPECT_EQ(walkForward(), descending);
    EXPECT_EQ(sx_Count(), 2000);

    order("ACTNAME");
    sx_GoTop();
    const int first = sx_RecNo();
    ASSERT_TRUE(replaceLogical("ACTIVE", false));
    Recs expected = readOrder("ACTNAME");
    expected.erase(expected.begin());
    EXPECT_EQ(walkForward(), expected);
    EXPECT_FALSE(std::count(expected.begin(), expected.end(), first));

    // And the other tool's files still open afterwards.
    ASSERT_TRUE(sx_Close());
    ASSERT_GT(open("people.dbf"), 0) << xbase::lastErrorText();
    order("ACTNAME");
    EXPECT_EQ(walkForward(), expected);
}

}  // namespace
}  // namespace sxextra
