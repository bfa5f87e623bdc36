#pragma once
// The ten tables of the data folder: file names (one spelling each), fields
// with their types and widths, and the index tags of each table's compound
// index. The data folder maker builds tables from these; the programs and
// the tests check what they open against them.

#include <string>
#include <string_view>
#include <vector>

#include "xbase/value.h"

namespace store {

// Table file names as the data folder holds them.
inline constexpr const char* kOrgsTable = "ORGS.DBF";
inline constexpr const char* kGroupsTable = "GROUPS.DBF";
inline constexpr const char* kNodesTable = "NODES.DBF";
inline constexpr const char* kReceivedTable = "received.dbf";
inline constexpr const char* kPendingTable = "PENDING.DBF";
inline constexpr const char* kSentTable = "sent.dbf";
inline constexpr const char* kOutboxTable = "outbox.dbf";
inline constexpr const char* kRulesTable = "rules.dbf";
inline constexpr const char* kAgentsTable = "Agents.dbf";
inline constexpr const char* kActionsTable = "actions.DBF";

// Widths the rows are written against. FILENAME of the received and pending
// tables holds a whole mail file name as far as a text field can (254 bytes),
// so the received copy can be found from its row.
inline constexpr int kIdWidth = 20;
inline constexpr int kReceivedKeyWidth = 40;
inline constexpr int kFileNameWidth = 254;
inline constexpr int kRuleNameWidth = 49;
inline constexpr int kAgentNameWidth = 99;
inline constexpr int kActionTextWidth = 254;
inline constexpr int kMessageIdWidth = 240;  // the longest key a tag can hold

// One index tag: its name is also its key expression (a field name).
struct TagLayout {
    std::string name;
    bool unique = false;
};

struct TableLayout {
    std::string fileName;
    std::string indexName;  // the compound index's name; empty: no index
    std::vector<xbase::FieldDef> fields;
    std::vector<TagLayout> tags;  // in creation order

    const xbase::FieldDef* field(std::string_view name) const;  // case-insensitive
};

// The ten tables in the order of the table list.
const std::vector<TableLayout>& SystemTables();
// The layout of a table file, its name compared without regard to case;
// throws StoreError for a name that is not one of the ten.
const TableLayout& LayoutOf(std::string_view fileName);

}  // namespace store
