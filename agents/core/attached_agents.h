#pragma once
// The agents attached to the account in work, as the agents table (a detail
// of the accounts) lists them. The rows are read again only when the table
// file shows another stamp, so a pass does not walk the table for every
// message yet still sees, at the next message, an agent another program
// attached or removed.

#include <optional>
#include <string>
#include <vector>

#include "agents/core/file_stamp.h"

class TTable;

namespace agents {

struct AttachedAgent {
    std::string id;    // UNIQUE_ID of the attached-agent row
    std::string name;  // AGENT
};

class AttachedAgents {
public:
    explicit AttachedAgents(TTable& table) : table_(table) {}

    // The rows of the account the table now follows, in the table's order.
    const std::vector<AttachedAgent>& Of(const std::string& accountId);

private:
    TTable& table_;
    std::string accountId_;
    std::optional<FileStamp> stamp_;  // set only while rows_ stands for the file
    std::vector<AttachedAgent> rows_;
};

}  // namespace agents
