#pragma once
// The agent properties dialog: an existing agent's triggers and actions on
// two pages. The main window fills it from the agent file and, after OK,
// writes the file again from its six hidden lists; it writes nothing itself.

#include <QDialog>

#include <functional>
#include <memory>
#include <string>

#include "manager/core/agent_lists.h"
#include "manager/dialogs/tfrm_action.h"

namespace Ui {
class TfrmAgentProperties;
}

namespace manager {

class AgentListEditor;

class TfrmAgentProperties : public QDialog {
    Q_OBJECT

public:
    explicit TfrmAgentProperties(QWidget* parent = nullptr);
    ~TfrmAgentProperties() override;

    Ui::TfrmAgentProperties* ui() const { return ui_.get(); }
    AgentListEditor& Editor() const { return *editor_; }

    void SetTemplates(const std::string& templatesFolder, CreateTemplateCommand createTemplate);
    void SetLists(const AgentLists& lists);
    AgentLists Lists() const;

private:
    std::unique_ptr<Ui::TfrmAgentProperties> ui_;
    AgentListEditor* editor_;
};

}  // namespace manager
