#pragma once
// The sender a new auto-reply template starts with: the account on which
// the message tables' account cursor stands.

#include <string>

namespace manager {

class ManagerTables;

struct TemplateSender {
    std::string accountId;  // UNIQUE_ID
    std::string name;       // NODE
    std::string address;    // ADDRESS
    bool operator==(const TemplateSender&) const = default;
};

// From TableNodes2's current row; empty when it is closed or has no row.
TemplateSender CurrentTemplateSender(ManagerTables& tables);

}  // namespace manager
