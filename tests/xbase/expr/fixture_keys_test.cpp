// Keys computed from the rows of a table made by another xBase tool, sorted
// the way its index stores them, must give the record order of its tags.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "xbase/expr/expression.h"
#include "xbase/expr/julian.h"

namespace xbase::test {
namespace {

const std::vector<FieldDef> kPeopleFields = {
    {"NAME", 'C', 20, 0, 1}, {"CITY", 'C', 30, 0, 21}, {"AGE", 'N', 4, 0, 51}, {"SALARY", 'N', 10, 2, 55},
    {"BORN", 'D', 8, 0, 65}, {"ACTIVE", 'L', 1, 0, 73}, {"NOTES", 'M', 10, 0, 74},
};

struct Row : RecordSource {
    uint32_t recno = 0;
    bool isDeleted = false;
    std::vector<Value> values;
    Value field(int index) const override { return values.at(static_cast<size_t>(index)); }
    uint32_t recNo() const override { return recno; }
    bool deleted() const override { return isDeleted; }
};

std::vector<std::string> split(const std::string& line) {
    std::vector<std::string> parts;
    std::stringstream in(line);
    std::string part;
    while (std::getline(in, part, '|')) parts.push_back(part);
    if (!line.empty() && line.back() == '|') parts.emplace_back();
    return parts;
}

std::vector<Row> readPeople() {
    std::ifstream in(std::string(TARSEL_TEST_DATA) + "/xbase/people.rows");
    std::vector<Row> rows;
    std::string line;
    while (std::getline(in, line)) {
        const auto p = split(line);
        if (p.size() < 9) continue;
        Row r;
        r.recno = static_cast<uint32_t>(std::stoul(p[0]));
        r.isDeleted = p[1] == "*";
        r.values = {Value::character(p[2]),           Value::character(p[3]),
                    Value::numeric(std::stod(p[4])),   Value::numeric(std::stod(p[5])),
                    Value::date(julianFromDateText(p[6])), Value::boolean(p[7] == "T"),
                    Value::character(p[8])};
        rows.push_back(std::move(r));
    }
    return rows;
}

std::vector<uint32_t> readOrder(const std::string& tag) {
    std::ifstream in(std::string(TARSEL_TEST_DATA) + "/xbase/people." + tag + ".order");
    std::vector<uint32_t> order;
    uint32_t n = 0;
    while (in >> n) order.push_back(n);
    return order;
}

struct TagCase {
    const char* tag;
    const char* key;
    const char* condition;
    bool descending;
    bool unique;
};

std::vector<uint32_t> tagOrder(const std::vector<Row>& rows, const TagCase& c) {
    const Expression key = Expression::compile(c.key, kPeopleFields);
    const Expression condition = Expression::compile(c.condition[0] ? c.condition : ".T.", kPeopleFields);
    const EvalSettings settings;
    std::vector<std::pair<std::string, uint32_t>> entries;
    for (const Row& r : rows) {
        if (!condition.evaluate(r, settings).logical) continue;
        std::string k = key.evaluate(r, settings).text;
        k.resize(static_cast<size_t>(key.width()), ' ');
        entries.emplace_back(std::move(k), r.recno);
    }
    std::sort(entries.begin(), entries.end());
    if (c.unique)
        entries.erase(std::unique(entries.begin(), entries.end(),
                                  [](const auto& a, const auto& b) { return a.first == b.first; }),
                      entries.end());
    if (c.descending) std::reverse(entries.begin(), entries.end());
    std::vector<uint32_t> order;
    for (const auto& e : entries) order.push_back(e.second);
    return order;
}

TEST(FixtureKeys, CharacterTagsOfAnotherToolSortAsOurKeysDo) {
    const std::vector<Row> rows = readPeople();
    ASSERT_EQ(rows.size(), 2000u);
    const TagCase cases[] = {
        {"NAME", "NAME", "", false, false},
        {"UPNAME", "UPPER( NAME )", "", false, false},
        {"AGE", "STR( AGE, 4 )", "", true, false},
        {"CITYAGE", "CITY + STR( AGE, 4 )", "", false, false},
        {"BORN", "DTOS( BORN )", "", false, false},
        {"UCITY", "CITY", "", false, true},
        {"ACTNAME", "NAME", "ACTIVE", false, false},
    };
    for (const TagCase& c : cases) EXPECT_EQ(tagOrder(rows, c), readOrder(c.tag)) << c.tag;
}

}  // namespace
}  // namespace xbase::test
