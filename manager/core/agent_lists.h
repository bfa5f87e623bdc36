#pragma once
// The agent dialogs hold an agent as six parallel lists, by position: the
// triggers' headers, conditions and values as shown, and the actions' three
// parameters. This is the one conversion between them and the agent file's
// typed triggers and actions.

#include <string>
#include <vector>

#include "store/agent_file.h"

namespace manager {

struct AgentLists {
    std::vector<std::string> header;
    std::vector<std::string> condition;
    std::vector<std::string> value;
    std::vector<std::string> actionParam1;
    std::vector<std::string> actionParam2;
    std::vector<std::string> actionParam3;
    bool operator==(const AgentLists&) const = default;
};

// One trigger per header entry and one action per first-parameter entry;
// a shorter companion list reads as empty text.
std::vector<store::AgentTrigger> TriggersFromLists(const AgentLists& lists);
std::vector<store::AgentAction> ActionsFromLists(const AgentLists& lists);
// The lists of a loaded agent, headers as the dialogs show them.
AgentLists ListsFromAgent(const std::vector<store::AgentTrigger>& triggers,
                          const std::vector<store::AgentAction>& actions);

}  // namespace manager
