#include "manager/core/agent_lists.h"

#include "manager/core/agent_captions.h"

namespace manager {

namespace {

std::string at(const std::vector<std::string>& list, size_t index)
{
    return index < list.size() ? list[index] : std::string();
}

}  // namespace

std::vector<store::AgentTrigger> TriggersFromLists(const AgentLists& lists)
{
    std::vector<store::AgentTrigger> triggers;
    for (size_t i = 0; i < lists.header.size(); ++i)
        triggers.push_back({StoredTriggerHeader(lists.header[i]), at(lists.condition, i), at(lists.value, i)});
    return triggers;
}

std::vector<store::AgentAction> ActionsFromLists(const AgentLists& lists)
{
    std::vector<store::AgentAction> actions;
    for (size_t j = 0; j < lists.actionParam1.size(); ++j)
        actions.push_back({lists.actionParam1[j], at(lists.actionParam2, j), at(lists.actionParam3, j)});
    return actions;
}

AgentLists ListsFromAgent(const std::vector<store::AgentTrigger>& triggers,
                          const std::vector<store::AgentAction>& actions)
{
    AgentLists lists;
    for (const store::AgentTrigger& trigger : triggers) {
        lists.header.push_back(ShownTriggerHeader(trigger.header));
        lists.condition.push_back(trigger.condition);
        lists.value.push_back(trigger.value);
    }
    for (const store::AgentAction& action : actions) {
        lists.actionParam1.push_back(action.name);
        lists.actionParam2.push_back(action.parameter);
        lists.actionParam3.push_back(action.extra);
    }
    return lists;
}

}  // namespace manager
