// A processor on the shell whose pass only logs a line: run by the shell
// tests as a separate program, the way cron or a service manager runs one.

#include <memory>

#include "retriever/shell/processor_profile.h"
#include "retriever/shell/processor_shell.h"
#include "retriever/shell/tfrm_main.h"

namespace {

class LoggingWork : public shell::ProcessorWork {
public:
    explicit LoggingWork(shell::TfrmMain& main) : main_(main) {}
    void Pass() override { main_.SendtoLog("pass ran"); }

private:
    shell::TfrmMain& main_;
};

}  // namespace

int main(int argc, char** argv)
{
    return shell::RunProcessor(argc, argv, shell::RetrieverProfile(),
                               [](shell::TfrmMain& main) { return std::make_unique<LoggingWork>(main); });
}
