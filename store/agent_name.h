#pragma once
// Whether an agent name can become an agent file's name and be held whole
// by the AGENT field of an attached-agent row. Every place that makes an
// agent file name goes through this one check.

#include <string>
#include <string_view>

namespace store {

// Empty when the name is valid, else the reason to show: not empty, not "."
// or "..", no "/", "\", "?", NUL or other control characters, no leading or
// trailing blanks, at most 99 bytes.
std::string AgentNameProblem(std::string_view name);
inline bool IsValidAgentName(std::string_view name) { return AgentNameProblem(name).empty(); }
// Throws StoreError with the reason when the name is not valid.
void CheckAgentName(std::string_view name);

}  // namespace store
