// tarsel-demo-setup --pop HOST:PORT --smtp HOST:PORT [--login NAME] [--password TEXT]
// Sets up the demo in the settings and program folders of the environment
// ($TARSEL_CONFIG_DIR, $TARSEL_HOME): the folder settings, one account on
// the given servers with an "all messages" restriction, and an attached
// agent that answers order mail from a template and forwards it. The data
// folder ($TARSEL_HOME/data/) must have been made by tarsel-mkdata.
#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>

#include "platform/paths.h"
#include "store/data_folder.h"
#include "store/settings.h"
#include "tools/demo_setup/demo_agent.h"
#include "tools/demo_setup/demo_rows.h"

namespace {

int usage()
{
    std::fprintf(stderr, "usage: tarsel-demo-setup --pop HOST:PORT --smtp HOST:PORT [--login NAME] [--password TEXT]\n");
    return 2;
}

bool readArguments(int argc, char** argv, demo::DemoAccount& account)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc)
            return false;
        const std::string value = argv[++i];
        if (arg == "--pop")
            account.popServer = value;
        else if (arg == "--smtp")
            account.smtpServer = value;
        else if (arg == "--login")
            account.login = value;
        else if (arg == "--password")
            account.password = value;
        else
            return false;
    }
    return !account.popServer.empty() && !account.smtpServer.empty();
}

store::FolderSettings demoFolders()
{
    const std::string home = platform::ProgramDir();
    return {home + "messages/", home + "agents/", home + "templates/", home + "data/"};
}

}  // namespace

int main(int argc, char** argv)
{
    demo::DemoAccount account;
    if (!readArguments(argc, argv, account))
        return usage();
    try {
        const store::FolderSettings folders = demoFolders();
        if (!store::DataFolderHasTables(folders.database))
            throw std::runtime_error("no tables in " + folders.database + " (run tarsel-mkdata first)");
        store::Settings settings;
        settings.WritePreferenceFolders(folders);
        store::CreateManagerFolders(folders);

        const std::string accountId = demo::WriteDemoRows(folders.database, account);
        const std::string templatePath = demo::WriteReplyTemplate(folders, account);
        const std::string agentPath = demo::WriteDemoAgent(folders, account, templatePath);

        std::printf("Settings:  %s%s\n", platform::ConfigDir().c_str(), store::kSettingsFileName);
        std::printf("Account:   %s <%s>, id %s, POP3 %s, SMTP %s\n", account.name.c_str(),
                    account.address.c_str(), accountId.c_str(), account.popServer.c_str(),
                    account.smtpServer.c_str());
        std::printf("Agent:     %s (Subject contains \"%s\": auto-reply, forward to %s)\n", agentPath.c_str(),
                    account.triggerText.c_str(), account.forwardTo.c_str());
        std::printf("Template:  %s\n", templatePath.c_str());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tarsel-demo-setup: %s\n", e.what());
        return 1;
    }
    return 0;
}
