#include "agents/posta_work.h"

#include <QApplication>
#include <QMetaObject>

#include "controls/qt_text.h"
#include "platform/paths.h"
#include "retriever/shell/tdm.h"
#include "retriever/shell/tform1.h"
#include "retriever/shell/tfrm_main.h"
#include "tables/apollo.h"
#include "tables/table.h"
#include "ui_tfrm_main.h"

namespace agents {

AgentWork::AgentWork(shell::TfrmMain& frmMain)
    : frmMain_(frmMain)
{
    shell::TDM& dm = frmMain.DM();
    dm.Table("TableActions").AfterInsert = TableActionsAfterInsert;
    pass_ = std::make_unique<AgentPass>(
        *this, AgentTables{dm.Table("TableANodes"), dm.Table("TableAgents"), dm.Table("TableAReceived"),
                           dm.Apollo("ApolloAReceived"), dm.Table("TableAPending"), dm.Apollo("ApolloAPending"),
                           dm.Table("TableActions")});
    pass_->agentSMTP().SetDefaultPort(25);
    // What would be a message box of the dial-up component.
    pass_->agRas1().OnError = [this](TagRas&, const std::string& message) { frmMain_.ShowMessage(message); };
}

AgentWork::~AgentWork() = default;

void AgentWork::LoadSockets() { pass_->agentSMTP().SetWinsockLoaded(true); }

void AgentWork::SetDialupService(const std::string& service) { pass_->agRas1().SetService(service); }

void AgentWork::BeforeOpenTables()
{
    frmMain_.DM().Apollo("ApolloAReceived").SysProp(shell::TDM::kEngineProperty, 0);
    const shell::ProcessorState& state = frmMain_.State();
    pass_->SetFolders(state.MessagesFolder, state.AgentsFolder, platform::ProgramDir());
}

void AgentWork::Pass()
{
    try {
        pass_->AgentsMain();
    } catch (...) {
        frmMain_.State().CurrentNodeID = pass_->CurrentNodeID();
        closeIfAsked();
        throw;
    }
    frmMain_.State().CurrentNodeID = pass_->CurrentNodeID();
    closeIfAsked();
}

void AgentWork::closeIfAsked()
{
    // The program ends once the pass is back in the message loop.
    if (!closeAsked_)
        return;
    closeAsked_ = false;
    QMetaObject::invokeMethod(&frmMain_.Form1(), "close", Qt::QueuedConnection);
}

void AgentWork::SendtoLog(const std::string& text, int level) { frmMain_.SendtoLog(text, level); }

void AgentWork::ShowScanPasses(const std::string& text)
{
    frmMain_.State().ScanPasses = pass_->ScanPasses();
    frmMain_.ui()->lblScanPasses->setText(BytesToQString(text));
}

void AgentWork::ShowTriggerResults(const std::vector<std::string>& results)
{
    // The list is filled again only when it would show something else.
    if (results == shownTriggers_)
        return;
    shownTriggers_ = results;
    QListWidget* list = frmMain_.ui()->lstTriggeredArray;
    list->clear();
    for (const std::string& r : results)
        list->addItem(BytesToQString(r));
}

void AgentWork::Beep() { QApplication::beep(); }

void AgentWork::PlaySound(const std::string& file) { sounds_.play(file); }

void AgentWork::CloseApplication() { closeAsked_ = true; }

}  // namespace agents
