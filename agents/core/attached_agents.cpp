#include "agents/core/attached_agents.h"

#include "tables/table.h"

namespace agents {

const std::vector<AttachedAgent>& AttachedAgents::Of(const std::string& accountId)
{
    // The stamp is taken before the rows are read: a change made while they
    // are read shows a later stamp at the next look.
    const std::optional<FileStamp> stamp = StampOf(table_.FilePath());
    if (stamp && stamp_ && *stamp == *stamp_ && accountId == accountId_)
        return rows_;
    stamp_.reset();
    rows_.clear();
    for (table_.First(); !table_.Eof(); table_.Next())
        rows_.push_back({table_.FieldByName("UNIQUE_ID").AsString(), table_.FieldByName("AGENT").AsString()});
    accountId_ = accountId;
    if (stamp && IsSettled(*stamp))
        stamp_ = stamp;
    return rows_;
}

}  // namespace agents
