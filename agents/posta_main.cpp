// posta, the agent processor: the processor shell with the agents' work.
#include "agents/posta_work.h"
#include "retriever/shell/processor_profile.h"
#include "retriever/shell/processor_shell.h"

int main(int argc, char** argv)
{
    return shell::RunProcessor(argc, argv, shell::AgentProcessorProfile(), [](shell::TfrmMain& frmMain) {
        return std::make_unique<agents::AgentWork>(frmMain);
    });
}
