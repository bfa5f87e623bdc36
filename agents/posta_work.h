#pragma once
// What posta adds to the processor shell: the agent pass with its SMTP and
// dial-up components and its two messages, shown in the status window,
// sounds, and the close an agent may ask for.

#include <memory>
#include <string>
#include <vector>

#include "agents/core/agent_pass.h"
#include "platform/qt/sound_player.h"
#include "retriever/shell/processor_work.h"

namespace shell {
class TfrmMain;
}

namespace agents {

class AgentWork : public shell::ProcessorWork, public AgentHost {
public:
    explicit AgentWork(shell::TfrmMain& frmMain);
    ~AgentWork() override;

    AgentPass& Agents() { return *pass_; }

    // shell::ProcessorWork
    void LoadSockets() override;
    void SetDialupService(const std::string& service) override;
    void BeforeOpenTables() override;
    void Pass() override;

    // AgentHost
    void SendtoLog(const std::string& text, int level) override;
    void ShowScanPasses(const std::string& text) override;
    void ShowTriggerResults(const std::vector<std::string>& results) override;
    void Beep() override;
    void PlaySound(const std::string& file) override;
    void CloseApplication() override;

private:
    void closeIfAsked();

    shell::TfrmMain& frmMain_;
    std::unique_ptr<AgentPass> pass_;
    platform::SoundPlayer sounds_;
    bool closeAsked_ = false;
    std::vector<std::string> shownTriggers_;  // what lstTriggeredArray shows
};

}  // namespace agents
