// A message agent: its triggers decide whether it fires, and then its
// actions run in the order of the agent file.
#include <charconv>
#include <string_view>

#include "agents/core/agent_pass.h"
#include "agents/core/text_compare.h"
#include "agents/core/trigger_eval.h"

namespace agents {

namespace {

// A whole number, as the delay action takes it; blanks around it allowed.
bool parseWholeNumber(std::string_view text, int& value)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

}  // namespace

bool AgentPass::ProccessMESSAGEAgent(TmsMessage& message, const store::AgentDefinition& agent)
{
    messageId_ = message.Headers().GetFieldValue("Message-ID");
    toOverride_.clear();
    triggerResults_.clear();
    removeFurther_ = false;
    triggerResults_ = EvaluateTriggers(message, agent.triggers);
    host_.ShowTriggerResults(triggerResults_);
    if (AgentFires(triggerResults_))
        runActions(message, agent.actions);
    return removeFurther_;
}

void AgentPass::runActions(TmsMessage& incoming, const std::vector<store::AgentAction>& actions)
{
    for (const store::AgentAction& action : actions) {
        const std::string name = UpperCase(action.name);
        if (name == "AUTO-REPLY") {
            if (!autoReply(action.parameter))
                return;
        } else if (name == "CLOSE TARSEL") {
            AddAgentEntry(messageId_, "Close Tarsel");
            host_.CloseApplication();
        } else if (name == "DELAY THE AGENT") {
            if (!delayAgent(action.parameter))
                return;
        } else if (name == "FORWARD TO") {
            forwardTo(incoming, action.parameter, action.extra);
        } else if (name == "REDIRECT TO") {
            redirectTo(incoming, action.parameter, action.extra);
        } else if (name == "LAUNCH PROGRAM") {
            launchProgram(incoming, action.parameter);
        } else if (name == "PLAY SOUND") {
            playSound(action.parameter);
        } else if (name == "REMOVE FROM FURTHER AGENT PROCESSING") {
            removeFurther_ = true;
        } else if (name == "RUN AN TARSELSCRIPT") {
            AddAgentEntry(messageId_, "Ran tarsel-Script: " + action.parameter);
        }
        // "PRINT" and unknown names do nothing.
    }
}

bool AgentPass::delayAgent(const std::string& seconds)
{
    int count = 0;
    if (!parseWholeNumber(seconds, count)) {
        AddAgentEntry(messageId_, "FAILED to Delay for " + seconds + " seconds");
        return false;
    }
    if (count > 0 && services.sleep)
        services.sleep(count);
    AddAgentEntry(messageId_, "Agent Delayed for " + seconds + " seconds");
    return true;
}

}  // namespace agents
