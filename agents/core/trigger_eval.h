#pragma once
// Trigger evaluation of a message agent: each trigger names a header (or
// the whole header, or the body), a condition and a value, and adds "TRUE"
// or "FALSE" to the results; the agent fires only when there is at least
// one result and every one is "TRUE".

#include <string>
#include <vector>

#include "store/agent_file.h"

class TmsMessage;

namespace agents {

// The header name as it is looked up: a name whose next-to-last character
// is ":" loses its last, and then one whose next-to-last is ">" too.
std::string TriggerHeaderName(std::string name);

// Appends this trigger's results (none for an unknown condition; one per
// header line for "BEGINS WITH" on the whole header).
void EvaluateTrigger(const TmsMessage& message, const store::AgentTrigger& trigger,
                     std::vector<std::string>& results);

std::vector<std::string> EvaluateTriggers(const TmsMessage& message,
                                          const std::vector<store::AgentTrigger>& triggers);

bool AgentFires(const std::vector<std::string>& results);

}  // namespace agents
