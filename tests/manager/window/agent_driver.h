#pragma once
// Answers the agent dialogs as a user would: the wizard is walked page by
// page, its add buttons open the trigger and action dialogs, which this
// answers too (they come through the same dialog seam, nested).

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

namespace managertest {

struct TriggerInput {
    std::string header, condition, value;
};

struct ActionInput {
    std::string caption, parameter;
    // Auto-Reply and Launch Program: the template or program is chosen with
    // the Browse button (the seam's file answerer picks it) instead of
    // being typed.
    bool browse = false;
};

struct AgentInput {
    std::vector<TriggerInput> triggers;
    std::vector<ActionInput> actions;
    std::string name;
};

class AgentDriver {
public:
    // The agent the wizard is given; every further showing of the wizard
    // takes the next name of `laterNames` (or cancels when none is left).
    AgentInput agent;
    std::vector<std::string> laterNames;
    // The properties dialog: run on it, then its result.
    std::function<int(QDialog&)> onProperties;
    int wizardShowings = 0;

    // For the seam's dialog answerer.
    int answer(QDialog& dialog);

    // Adds a trigger / action through a dialog's add button.
    void addTrigger(QDialog& owner, const TriggerInput& trigger);
    void addAction(QDialog& owner, const ActionInput& action);

private:
    int walkWizard(QDialog& dialog);
    int answerTrigger(QDialog& dialog);
    int answerAction(QDialog& dialog);

    const TriggerInput* pendingTrigger_ = nullptr;
    const ActionInput* pendingAction_ = nullptr;
};

}  // namespace managertest
