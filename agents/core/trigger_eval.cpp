#include "agents/core/trigger_eval.h"

#include "agents/core/text_compare.h"
#include "mail/message.h"

namespace agents {

namespace {

const char* result(bool holds) { return holds ? "TRUE" : "FALSE"; }

bool bodyContains(const TmsMessage& message, const std::string& value)
{
    for (const std::string& line : message.Body())
        if (ContainsIgnoreCase(line, value))
            return true;
    return false;
}

bool headerContains(const TmsMessage& message, const std::string& value)
{
    return !value.empty() && message.Headers().ContainsText(value, false);
}

void evaluateWholeHeader(const TmsMessage& message, const std::string& condition, const std::string& value,
                         std::vector<std::string>& results)
{
    if (condition == "CONTAINS") {
        results.emplace_back(result(headerContains(message, value)));
    } else if (condition == "DOES NOT CONTAIN" || condition == "DOESN'T CONTAIN") {
        results.emplace_back(result(!headerContains(message, value)));
    } else if (condition == "BEGINS WITH") {
        // One result per header line: the trigger holds only when every
        // line begins with the value.
        for (const std::string& line : message.Headers().lines())
            results.emplace_back(result(std::string_view(line).substr(0, value.size()) == value));
    }
}

void evaluateBody(const TmsMessage& message, const std::string& condition, const std::string& value,
                  std::vector<std::string>& results)
{
    if (condition == "CONTAINS") {
        results.emplace_back(result(bodyContains(message, value)));
    } else if (condition == "DOES NOT CONTAIN" || condition == "DOESN'T CONTAIN") {
        results.emplace_back(result(!bodyContains(message, value)));
    } else if (condition == "BEGINS WITH") {
        const auto& body = message.Body();
        results.emplace_back(result(!body.empty() && BeginsWithIgnoreCase(body.front(), value)));
    }
}

void evaluateField(const TmsMessage& message, const std::string& name, const std::string& condition,
                   const std::string& value, std::vector<std::string>& results)
{
    const std::string field = message.Headers().GetFieldValue(name);
    if (condition == "CONTAINS")
        results.emplace_back(result(ContainsIgnoreCase(field, value)));
    else if (condition == "DOES NOT CONTAIN" || condition == "DOESN'T CONTAIN")
        results.emplace_back(result(!ContainsExactly(field, value)));
    else if (condition == "BEGINS WITH")
        results.emplace_back(result(BeginsWithIgnoreCase(field, value)));
}

}  // namespace

std::string TriggerHeaderName(std::string name)
{
    if (name.size() >= 2 && name[name.size() - 2] == ':')
        name.pop_back();
    if (name.size() >= 2 && name[name.size() - 2] == '>')
        name.pop_back();
    return name;
}

void EvaluateTrigger(const TmsMessage& message, const store::AgentTrigger& trigger,
                     std::vector<std::string>& results)
{
    const std::string header = TriggerHeaderName(trigger.header);
    const std::string headerUpper = UpperCase(header);
    const std::string condition = UpperCase(trigger.condition);
    if (headerUpper == "ANYHEADER")
        evaluateWholeHeader(message, condition, trigger.value, results);
    else if (headerUpper == "<BODY>")
        evaluateBody(message, condition, trigger.value, results);
    else
        evaluateField(message, header, condition, trigger.value, results);
}

std::vector<std::string> EvaluateTriggers(const TmsMessage& message,
                                          const std::vector<store::AgentTrigger>& triggers)
{
    std::vector<std::string> results;
    for (const store::AgentTrigger& trigger : triggers)
        EvaluateTrigger(message, trigger, results);
    return results;
}

bool AgentFires(const std::vector<std::string>& results)
{
    if (results.empty())
        return false;
    for (const std::string& r : results)
        if (r != "TRUE")
            return false;
    return true;
}

}  // namespace agents
