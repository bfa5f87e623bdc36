#include "retriever/postp_work.h"

#include "controls/qt_text.h"
#include "retriever/shell/tdm.h"
#include "retriever/shell/tfrm_main.h"
#include "ui_tfrm_main.h"

namespace retriever {

RetrieverWork::RetrieverWork(shell::TfrmMain& frmMain)
    : frmMain_(frmMain)
{
    agRas1.ForceService = false;
    agRas1.MinimizeAtConnect = true;
    agRas1.SetTimeOut(150);
    // What would be a message box of the dial-up component.
    agRas1.OnError = [this](TagRas&, const std::string& message) { frmMain_.ShowMessage(message); };
    msRemotePOP1.SetRAS(&agRas1);
    msRemotePOP1.SetDefaultPort(110);
    msRemotePOP1.SetTimeOut(40);
    msRemotePOP1.SetMessageDirectory("./temp/");
    msMessageTemp.SetContentType("text/plain");
    shell::TDM& dm = frmMain.DM();
    pass_ = std::make_unique<MailPass>(
        *this, PassTables{dm.Table("TableNodes"), dm.Table("TableRules"), dm.Table("TableReceived"), dm.Apollo("ApolloReceived")},
        msRemotePOP1, msMessageTemp);
}

RetrieverWork::~RetrieverWork() = default;

void RetrieverWork::LoadSockets() { msRemotePOP1.SetWinsockLoaded(true); }

void RetrieverWork::SetDialupService(const std::string& service) { agRas1.SetService(service); }

void RetrieverWork::BeforeOpenTables() { pass_->SetMessagesFolder(frmMain_.State().MessagesFolder); }

void RetrieverWork::Pass()
{
    try {
        pass_->ProcessMail();
    } catch (...) {
        frmMain_.State().CurrentNodeID = pass_->CurrentNodeID();
        throw;
    }
    frmMain_.State().CurrentNodeID = pass_->CurrentNodeID();
}

void RetrieverWork::SendtoLog(const std::string& text) { frmMain_.SendtoLog(text); }

void RetrieverWork::AppException(const std::exception& error) { frmMain_.AppException(error); }

void RetrieverWork::ShowCurrentNode(const std::string& text)
{
    frmMain_.ui()->lblCurrentNode->setText(BytesToQString(text));
}

void RetrieverWork::ShowCurrentAction(const std::string& text)
{
    frmMain_.ui()->lblCurrentAction->setText(BytesToQString(text));
}

void RetrieverWork::ShowProgressMax(int maximum)
{
    frmMain_.ui()->progNode->setMaximum(maximum);
}

void RetrieverWork::ShowProgress(int position)
{
    frmMain_.ui()->progNode->setValue(position);
}

void RetrieverWork::ShowScanPasses(int passes)
{
    frmMain_.State().ScanPasses = passes;
    frmMain_.ui()->lblScanPasses->setText(QString::number(passes));
}

bool RetrieverWork::ProcessingEnabled() const { return frmMain_.State().ProcessingEnabled; }

void RetrieverWork::EnableTimer() { frmMain_.SetTimerEnabled(true); }

}  // namespace retriever
