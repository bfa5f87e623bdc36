#pragma once
// A row of the restrictions table, and the default restriction every new
// account gets: fetch all messages, and delete them from the server, as the
// account wizard's two choices say.

#include <string>

class TTable;

namespace store {

class RecordIds;

struct RestrictionRow {
    std::string uniqueId;
    std::string linkId;    // the account's identifier
    std::string rule;      // name, at most 49 characters
    std::string cond;      // "C", "L", "G" or "A"
    std::string condVal1;
    std::string condVal2;
    std::string act1;      // "Y" / "N": fetch
    std::string act2;      // "Y" / "N": delete from the server
    bool operator==(const RestrictionRow&) const = default;
};

// "Control Restriction", all messages, identified by the clock and the first
// six characters of the account's identifier.
RestrictionRow DefaultRestriction(RecordIds& ids, const std::string& accountId, bool retrieve, bool remove);

// Appends the row to an open rules table object and posts it, fields in
// table order.
void AppendRestriction(TTable& rules, const RestrictionRow& row);

}  // namespace store
