#include "store/restriction_row.h"

#include "store/record_ids.h"
#include "tables/table.h"

namespace store {

RestrictionRow DefaultRestriction(RecordIds& ids, const std::string& accountId, bool retrieve, bool remove)
{
    return {ids.DefaultRestrictionId(accountId),
            accountId,
            "Control Restriction",
            "A",
            "",
            "",
            retrieve ? "Y" : "N",
            remove ? "Y" : "N"};
}

void AppendRestriction(TTable& rules, const RestrictionRow& row)
{
    rules.Append();
    rules.FieldByName("UNIQUE_ID").SetAsString(row.uniqueId);
    rules.FieldByName("LINK_ID").SetAsString(row.linkId);
    rules.FieldByName("RULE").SetAsString(row.rule);
    rules.FieldByName("COND").SetAsString(row.cond);
    rules.FieldByName("CONDVAL1").SetAsString(row.condVal1);
    rules.FieldByName("CONDVAL2").SetAsString(row.condVal2);
    rules.FieldByName("ACT1").SetAsString(row.act1);
    rules.FieldByName("ACT2").SetAsString(row.act2);
    rules.Post();
}

}  // namespace store
