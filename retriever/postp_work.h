#pragma once
// What postp adds to the processor shell: its POP3 and dial-up components,
// the message object a fetched message passes through, and the pass over
// the accounts, shown in the status window.

#include <memory>
#include <string>

#include "mail/message.h"
#include "mail/net/pop3_client.h"
#include "mail/net/tag_ras.h"
#include "retriever/core/mail_pass.h"
#include "retriever/shell/processor_work.h"

namespace shell {
class TfrmMain;
}

namespace retriever {

class RetrieverWork : public shell::ProcessorWork, public PassHost {
public:
    explicit RetrieverWork(shell::TfrmMain& frmMain);
    ~RetrieverWork() override;

    TmsRemotePOP msRemotePOP1;
    TagRas agRas1;
    TmsMessage msMessageTemp;
    MailPass& RetrieverPass() { return *pass_; }

    // shell::ProcessorWork
    void LoadSockets() override;
    void SetDialupService(const std::string& service) override;
    void BeforeOpenTables() override;
    void Pass() override;

    // PassHost
    void SendtoLog(const std::string& text) override;
    void AppException(const std::exception& error) override;
    void ShowCurrentNode(const std::string& text) override;
    void ShowCurrentAction(const std::string& text) override;
    void ShowProgressMax(int maximum) override;
    void ShowProgress(int position) override;
    void ShowScanPasses(int passes) override;
    bool ProcessingEnabled() const override;
    void EnableTimer() override;

private:
    shell::TfrmMain& frmMain_;
    std::unique_ptr<MailPass> pass_;
};

}  // namespace retriever
