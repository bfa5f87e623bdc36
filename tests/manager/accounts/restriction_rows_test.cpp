// What a restriction window's fields mean in rules.dbf, both ways, and what
// the retriever then reads from the row written.
#include "accounts_fixture.h"

#include "manager/core/manager_error.h"
#include "manager/core/restriction_commands.h"
#include "manager/core/restriction_mapping.h"
#include "retriever/core/restrictions.h"
#include "store/table_layouts.h"

namespace accountstest {
namespace {

using manager::RestrictionChoice;
using manager::RestrictionCommands;

RestrictionChoice choice(int condition, const std::string& name)
{
    RestrictionChoice c;
    c.condition = condition;
    c.name = name;
    c.field = "Subject";
    c.value = "lottery";
    c.lengthField = "To:";
    c.length = "300";
    c.kilobytes = "100";
    c.retrieve = false;
    c.remove = true;
    return c;
}

class RestrictionRows : public AccountsCoreTest {
protected:
    void SetUp() override
    {
        AccountsCoreTest::SetUp();
        const int folder = accounts().NewFolder("Office");
        accounts().NewAccount(folder, sampleAccount());
        tables->Table("TableNodes2").First();
    }
    RestrictionCommands restrictions() { return {*tables, ids, data}; }
};

TEST_F(RestrictionRows, EachKindIsWrittenAsTheRetrieverReadsItAndReadsBackTheSame)
{
    for (int condition : {manager::kContains, manager::kLongerThan, manager::kGreaterThan})
        restrictions().Add(choice(condition, "kind " + std::to_string(condition)));
    const Rows stored = rows(store::kRulesTable, {"RULE", "COND", "CONDVAL1", "CONDVAL2", "ACT1", "ACT2"});
    ASSERT_EQ(stored.size(), 4u);
    EXPECT_EQ(stored[1], (std::vector<std::string>{"kind 0", "C", "Subject", "lottery", "N", "Y"}));
    EXPECT_EQ(stored[2], (std::vector<std::string>{"kind 1", "L", "To:", "300", "N", "Y"}));
    EXPECT_EQ(stored[3], (std::vector<std::string>{"kind 2", "G", "", "100000", "N", "Y"}));

    const std::vector<retriever::Restriction> read = retriever::ReadRestrictions(tables->Table("TableRules"));
    ASSERT_EQ(read.size(), 4u);
    EXPECT_EQ(read[0].cond, 'A');
    EXPECT_TRUE(read[0].fetch);
    EXPECT_EQ(read[1].cond, 'C');
    EXPECT_EQ(read[1].condVal2, "lottery");
    EXPECT_EQ(read[2].limit, 300);
    EXPECT_EQ(read[3].limit, 100000);
    for (std::size_t i = 1; i < read.size(); ++i) {
        EXPECT_FALSE(read[i].fetch);
        EXPECT_TRUE(read[i].remove);
    }

    const auto listed = restrictions().List();
    ASSERT_EQ(listed.size(), 4u);
    for (int condition : {manager::kContains, manager::kLongerThan, manager::kGreaterThan}) {
        const RestrictionChoice back =
            manager::ChoiceFromRow(restrictions().Read(listed[static_cast<std::size_t>(condition) + 1].recNo));
        const RestrictionChoice sent = choice(condition, "kind " + std::to_string(condition));
        EXPECT_EQ(back.condition, condition);
        EXPECT_EQ(back.name, sent.name);
        EXPECT_FALSE(back.retrieve);
        EXPECT_TRUE(back.remove);
        EXPECT_EQ(back.value, condition == manager::kContains ? "lottery" : "");
        EXPECT_EQ(back.length, condition == manager::kLongerThan ? "300" : "");
        EXPECT_EQ(back.kilobytes, condition == manager::kGreaterThan ? "100" : "");
    }
}

TEST_F(RestrictionRows, EditingKeepsWhatAllMessagesAndNoConditionDoNotSay)
{
    const int recNo = restrictions().Add(choice(manager::kContains, "spam"));
    RestrictionChoice all = choice(manager::kAllMessages, "everything");
    restrictions().Edit(recNo, all);
    store::RestrictionRow row = restrictions().Read(recNo);
    EXPECT_EQ(row.cond, "A");
    EXPECT_EQ(row.condVal1, "Subject");
    EXPECT_EQ(row.condVal2, "lottery");
    EXPECT_EQ(row.rule, "everything");

    RestrictionChoice none = choice(manager::kNoCondition, "renamed");
    none.retrieve = true;
    restrictions().Edit(recNo, none);
    row = restrictions().Read(recNo);
    EXPECT_EQ(row.cond, "A");
    EXPECT_EQ(row.rule, "renamed");
    EXPECT_EQ(row.act1, "Y");
    const std::string id = row.uniqueId;
    restrictions().Edit(recNo, choice(manager::kGreaterThan, "big"));
    row = restrictions().Read(recNo);
    EXPECT_EQ(row.uniqueId, id);
    EXPECT_EQ(row.condVal1, "");
    EXPECT_EQ(row.condVal2, "100000");
    restrictions().Remove(recNo);
    EXPECT_EQ(restrictions().List().size(), 1u);
}

TEST(RestrictionMapping, OnlyWholeNumbersOfZeroOrMoreAreAcceptedForLengthAndSize)
{
    for (const char* bad : {"", "-1", "1.5", "abc", "12 kb", "1234567890123456"}) {
        RestrictionChoice length = choice(manager::kLongerThan, "n");
        length.length = bad;
        EXPECT_THROW(manager::CheckChoice(length), manager::ManagerError) << bad;
        RestrictionChoice size = choice(manager::kGreaterThan, "n");
        size.kilobytes = bad;
        EXPECT_THROW(manager::CheckChoice(size), manager::ManagerError) << bad;
    }
    RestrictionChoice zero = choice(manager::kGreaterThan, "n");
    zero.kilobytes = "0";
    EXPECT_EQ(manager::RowFromChoice(zero, "id", "acct").condVal2, "0000");
    // A number field of another condition does not matter.
    RestrictionChoice contains = choice(manager::kContains, "n");
    contains.kilobytes = "junk";
    EXPECT_NO_THROW(manager::CheckChoice(contains));
    EXPECT_THROW(manager::CheckChoice(choice(manager::kAllMessages, std::string(50, 'r'))), manager::ManagerError);
    EXPECT_NO_THROW(manager::CheckChoice(choice(manager::kAllMessages, std::string(49, 'r'))));
}

TEST(RestrictionMapping, RowsReadBackAsTheRetrieverReadsThem)
{
    store::RestrictionRow row{"id", "acct", " Big mail ", " g ", "", " 1500 ", " y ", "n"};
    RestrictionChoice shown = manager::ChoiceFromRow(row);
    EXPECT_EQ(shown.condition, manager::kGreaterThan);
    // Not written as kilobytes: shown whole rather than losing digits.
    EXPECT_EQ(shown.kilobytes, "1500");
    EXPECT_TRUE(shown.retrieve);
    EXPECT_FALSE(shown.remove);
    EXPECT_EQ(shown.name, "Big mail");
    row.condVal2 = "2000";
    EXPECT_EQ(manager::ChoiceFromRow(row).kilobytes, "2");
    row.cond = "X";
    EXPECT_EQ(manager::ChoiceFromRow(row).condition, manager::kNoCondition);
    row.cond = "";
    EXPECT_EQ(manager::ChoiceFromRow(row).condition, manager::kNoCondition);
    row.act2 = "YES";
    EXPECT_FALSE(manager::ChoiceFromRow(row).remove);
}

}  // namespace
}  // namespace accountstest
