#pragma once
// The rows the configuration manager would write for the demo account: its
// folder, the account, its "all messages" restriction and the attached agent.

#include <string>

#include "tools/demo_setup/demo_account.h"

namespace demo {

// Writes the rows into the tables of the data folder; returns the account's
// identifier (the name of its message folder).
std::string WriteDemoRows(const std::string& databaseFolder, const DemoAccount& account);

}  // namespace demo
