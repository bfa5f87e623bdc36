// The action history: one row per action an agent performed, shown per
// attached agent by the configuration manager.
#include "agents/core/agent_pass.h"
#include "retriever/core/message_keys.h"
#include "store/record_ids.h"
#include "store/table_layouts.h"
#include "tables/table.h"

namespace agents {

void TableActionsAfterInsert(TTable& table)
{
    const TDateTime now = platform::Now();
    table.FieldByName("CREATEON").SetAsDateTime(platform::Date());
    table.FieldByName("CREATEAT").SetAsString(platform::FormatDateTime("hh:mm", now));
}

void AgentPass::AddAgentEntry(const std::string& messageId, const std::string& text)
{
    TTable& actions = tables_.actions;
    actions.Append();
    actions.FieldByName("UNIQUE_ID").SetAsString(store::ClockId(now(), text, 6));
    actions.FieldByName("MESSAGE_ID").SetAsString(retriever::CutToFieldWidth(messageId, store::kMessageIdWidth));
    actions.FieldByName("NODE_ID").SetAsString(account_.id);
    actions.FieldByName("AGENT_ID").SetAsString(agentId_);
    actions.FieldByName("ACTION").SetAsString(retriever::CutToFieldWidth(text, store::kActionTextWidth));
    actions.Post();
}

}  // namespace agents
