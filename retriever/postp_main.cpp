// postp, the mail retriever: the processor shell with the retriever's work.
#include "retriever/postp_work.h"
#include "retriever/shell/processor_profile.h"
#include "retriever/shell/processor_shell.h"

int main(int argc, char** argv)
{
    return shell::RunProcessor(argc, argv, shell::RetrieverProfile(), [](shell::TfrmMain& frmMain) {
        return std::make_unique<retriever::RetrieverWork>(frmMain);
    });
}
