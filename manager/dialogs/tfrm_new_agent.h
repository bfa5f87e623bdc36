#pragma once
// The agent wizard: four pages that collect a new agent's triggers, actions
// and name. It writes nothing; after Finish the main window's new-agent
// command reads edtAgentName, the agent kind and the six hidden lists.

#include <QDialog>

#include <functional>
#include <memory>
#include <string>

#include "manager/core/agent_lists.h"
#include "manager/dialogs/tfrm_action.h"

namespace Ui {
class TfrmNewAgent;
}

namespace manager {

class AgentListEditor;

class TfrmNewAgent : public QDialog {
    Q_OBJECT

public:
    explicit TfrmNewAgent(QWidget* parent = nullptr);
    ~TfrmNewAgent() override;

    Ui::TfrmNewAgent* ui() const { return ui_.get(); }
    AgentListEditor& Editor() const { return *editor_; }

    // The action dialog's template folder and "&Create New" command.
    void SetTemplates(const std::string& templatesFolder, CreateTemplateCommand createTemplate);

    std::string AgentName() const;
    // "MESSAGE", "INTERVAL" or "FUNCTION", from the kind options.
    std::string AgentKind() const;
    AgentLists Lists() const;

    // Finish: a name the agent-name check refuses is explained and the
    // wizard stays on its page; otherwise the result becomes OK.
    void FinishClick();

private:
    std::unique_ptr<Ui::TfrmNewAgent> ui_;
    AgentListEditor* editor_;
};

}  // namespace manager
