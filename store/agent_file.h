#pragma once
// Agent files: one INI file per agent in the agents folder, written by the
// configuration manager and read afresh by the agent processor at every
// pass. A "MESSAGE" agent holds its main keys, its triggers (header,
// condition, value) and its actions (name, parameter, extra text) under
// "Entry1".."EntryN"; an "INTERVAL" or "FUNCTION" agent holds its type alone.

#include <string>
#include <vector>

#include "platform/datetime.h"

namespace store {

inline constexpr const char* kMessageAgent = "MESSAGE";
inline constexpr const char* kIntervalAgent = "INTERVAL";
inline constexpr const char* kFunctionAgent = "FUNCTION";

struct AgentTrigger {
    std::string header;     // "Subject", "From", "<Body>" ...
    std::string condition;  // "contains", "doesn't contain", "begins with" or empty
    std::string value;
    bool operator==(const AgentTrigger&) const = default;
};

struct AgentAction {
    std::string name;       // upper case: "AUTO-REPLY", "FORWARD TO" ...
    std::string parameter;  // template, address, command line, sound file, seconds
    std::string extra;      // always empty from the dialogs
    bool operator==(const AgentAction&) const = default;
};

struct AgentDefinition {
    std::string type;  // [MAIN] AgentType as stored
    std::vector<AgentTrigger> triggers;
    std::vector<AgentAction> actions;
};

// Writes the agent into the file in one atomic replacement, keeping every
// key it does not write (entries past the new counts stay; readers go by the
// counts). The type is written in upper case; only a "MESSAGE" agent gets
// its main keys, stamped with `now`, and its entries.
void WriteAgentFile(const std::string& path, const std::string& type, const std::vector<AgentTrigger>& triggers,
                    const std::vector<AgentAction>& actions, TDateTime now);

// [MAIN] AgentType as stored, "" when missing (a missing file reads empty).
std::string ReadAgentType(const std::string& path);
// Triggers and actions by [MAIN] TriggerCount and ActionCount, whatever the
// type says; a missing entry reads as empty text, and a count above 1000
// reads as 1000.
std::vector<AgentTrigger> ReadAgentTriggers(const std::string& path);
std::vector<AgentAction> ReadAgentActions(const std::string& path);
// Type, triggers and actions from one reading of the file, whatever the
// type says (the agent processor).
AgentDefinition ReadAgentFile(const std::string& path);
// For the properties dialog: the type, and the triggers and actions only
// when the type is exactly "MESSAGE".
AgentDefinition LoadAgentFile(const std::string& path);

}  // namespace store
