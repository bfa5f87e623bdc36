#include "manager/core/restriction_commands.h"

#include "manager/core/manager_error.h"
#include "manager/core/manager_tables.h"
#include "manager/core/row_writing.h"
#include "store/record_ids.h"
#include "store/table_layouts.h"
#include "tables/apollo.h"
#include "tables/table.h"

namespace manager {

namespace {

void writeFields(TTable& row, const store::RestrictionRow& rule)
{
    row.FieldByName("UNIQUE_ID").SetAsString(rule.uniqueId);
    row.FieldByName("LINK_ID").SetAsString(rule.linkId);
    row.FieldByName("RULE").SetAsString(rule.rule);
    row.FieldByName("COND").SetAsString(rule.cond);
    row.FieldByName("CONDVAL1").SetAsString(rule.condVal1);
    row.FieldByName("CONDVAL2").SetAsString(rule.condVal2);
    row.FieldByName("ACT1").SetAsString(rule.act1);
    row.FieldByName("ACT2").SetAsString(rule.act2);
}

}  // namespace

RestrictionCommands::RestrictionCommands(ManagerTables& tables, store::RecordIds& ids, std::string databaseFolder)
    : tables_(tables), ids_(ids), folder_(std::move(databaseFolder))
{
}

std::vector<RestrictionItem> RestrictionCommands::List()
{
    TTable& rules = tables_.Require("TableRules");
    std::vector<RestrictionItem> items;
    for (rules.First(); !rules.Eof(); rules.Next())
        items.push_back({FieldText(rules, "RULE"), rules.RecNo()});
    return items;
}

int RestrictionCommands::Add(const RestrictionChoice& choice)
{
    CheckChoice(choice);
    TTable& nodes = tables_.Require("TableNodes2");
    TTable& rules = tables_.Require("TableRules");
    if (nodes.Eof() && nodes.Bof())
        throw ManagerError("No account is selected.");
    const std::string id =
        ids_.UniqueClockId(choice.name, 6, store::TagHolds(folder_, store::kRulesTable, "UNIQUE_ID"));
    const store::RestrictionRow row = RowFromChoice(choice, id, FieldText(nodes, "UNIQUE_ID"));
    WriteRow(rules, RowStart::Insert, [&](TTable& table) { writeFields(table, row); });
    return rules.RecNo();
}

store::RestrictionRow RestrictionCommands::Read(int recNo)
{
    goTo(recNo);
    TTable& rules = tables_.Table("TableRules");
    return {FieldText(rules, "UNIQUE_ID"), FieldText(rules, "LINK_ID"), FieldText(rules, "RULE"),
            FieldText(rules, "COND"),      FieldText(rules, "CONDVAL1"), FieldText(rules, "CONDVAL2"),
            FieldText(rules, "ACT1"),      FieldText(rules, "ACT2")};
}

void RestrictionCommands::Edit(int recNo, const RestrictionChoice& choice)
{
    store::RestrictionRow row = Read(recNo);
    ApplyChoice(row, choice);
    WriteRow(tables_.Table("TableRules"), RowStart::Edit, [&](TTable& table) { writeFields(table, row); });
}

void RestrictionCommands::Remove(int recNo)
{
    goTo(recNo);
    tables_.Table("TableRules").Delete();
}

void RestrictionCommands::goTo(int recNo)
{
    tables_.Require("TableRules");
    tables_.Apollo("ApolloRules").GoToRecord(recNo);
    if (tables_.Table("TableRules").RecNo() != recNo)
        throw ManagerError("The restriction is no longer in the table.");
}

}  // namespace manager
