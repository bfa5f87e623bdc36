#include "store/agent_file.h"

#include <algorithm>
#include <cctype>

#include "store/ini_snapshot.h"
#include "store/ini_batch.h"

namespace store {

namespace {

constexpr const char* kMain = "MAIN";
// More entries than any agent has: a count beyond it comes from a damaged
// or foreign file, and reading billions of empty entries would stall the
// agent processor, which reads every agent file each second.
constexpr int kMaxEntries = 1000;

std::string upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string entry(size_t number) { return "Entry" + std::to_string(number); }

int entryCount(const IniSnapshot& file, const char* key)
{
    return std::min(file.ReadInteger(kMain, key, 0), kMaxEntries);
}

}  // namespace

void WriteAgentFile(const std::string& path, const std::string& type, const std::vector<AgentTrigger>& triggers,
                    const std::vector<AgentAction>& actions, TDateTime now)
{
    IniBatch batch;
    const std::string kind = upper(type);
    batch.WriteString(kMain, "AgentType", kind);
    if (kind == kMessageAgent) {
        batch.WriteString(kMain, "AppVersion", ".9999");
        batch.WriteString(kMain, "CreatedDateTime", platform::DateTimeToStr(now));
        batch.WriteString(kMain, "ModifiedDateTime", platform::DateTimeToStr(now));
        batch.WriteString(kMain, "CreateUser", "");
        batch.WriteString(kMain, "ModifiedUser", "");
        batch.WriteInteger(kMain, "TriggerCount", static_cast<int>(triggers.size()));
        batch.WriteInteger(kMain, "ActionCount", static_cast<int>(actions.size()));
        for (size_t i = 0; i < triggers.size(); ++i) {
            batch.WriteString("HEADER", entry(i + 1), triggers[i].header);
            batch.WriteString("CONDITION", entry(i + 1), triggers[i].condition);
            batch.WriteString("VALUE", entry(i + 1), triggers[i].value);
        }
        for (size_t j = 0; j < actions.size(); ++j) {
            batch.WriteString("ACTIONPARAM1", entry(j + 1), actions[j].name);
            batch.WriteString("ACTIONPARAM2", entry(j + 1), actions[j].parameter);
            batch.WriteString("ACTIONPARAM3", entry(j + 1), actions[j].extra);
        }
    }
    batch.Apply(path);
}

namespace {

std::vector<AgentTrigger> triggersOf(const IniSnapshot& file)
{
    std::vector<AgentTrigger> triggers;
    const int count = entryCount(file, "TriggerCount");
    for (int i = 1; i <= count; ++i) {
        const std::string key = entry(static_cast<size_t>(i));
        triggers.push_back(
            {file.ReadString("HEADER", key), file.ReadString("CONDITION", key), file.ReadString("VALUE", key)});
    }
    return triggers;
}

std::vector<AgentAction> actionsOf(const IniSnapshot& file)
{
    std::vector<AgentAction> actions;
    const int count = entryCount(file, "ActionCount");
    for (int j = 1; j <= count; ++j) {
        const std::string key = entry(static_cast<size_t>(j));
        actions.push_back({file.ReadString("ACTIONPARAM1", key), file.ReadString("ACTIONPARAM2", key),
                           file.ReadString("ACTIONPARAM3", key)});
    }
    return actions;
}

}  // namespace

std::string ReadAgentType(const std::string& path) { return IniSnapshot(path).ReadString(kMain, "AgentType"); }

std::vector<AgentTrigger> ReadAgentTriggers(const std::string& path) { return triggersOf(IniSnapshot(path)); }

std::vector<AgentAction> ReadAgentActions(const std::string& path) { return actionsOf(IniSnapshot(path)); }

AgentDefinition ReadAgentFile(const std::string& path)
{
    const IniSnapshot file(path);
    return {file.ReadString(kMain, "AgentType"), triggersOf(file), actionsOf(file)};
}

AgentDefinition LoadAgentFile(const std::string& path)
{
    const IniSnapshot file(path);
    AgentDefinition agent;
    agent.type = file.ReadString(kMain, "AgentType");
    if (agent.type != kMessageAgent)
        return agent;
    agent.triggers = triggersOf(file);
    agent.actions = actionsOf(file);
    return agent;
}

}  // namespace store
