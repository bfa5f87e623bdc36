#include "tools/demo_setup/demo_agent.h"

#include "mail/message.h"
#include "platform/datetime.h"
#include "store/agent_file.h"
#include "store/folder_tree.h"

namespace demo {

std::string WriteReplyTemplate(const store::FolderSettings& folders, const DemoAccount& account)
{
    TmsMessage reply;
    reply.Sender().SetName(account.name);
    reply.Sender().SetAddress(account.address);
    reply.SetSubject("Your order has arrived");
    reply.Body() = {
        "Dear <<REPLYHEADER~FROMNAME>>,",
        "",
        "thank you for your order <<REPLYFIELD~ORDER>>.",
        "We read your message \"<<REPLYHEADER~Subject>>\"",
        "on <<SYSTEM~FORMATDATETIME(dd/mm/yyyy 'at' hh:nn)>> and will write again when it ships.",
        "",
        "-- <<SYSTEM~CURRENTNODE>>",
        "   <<SYSTEM~CURRENTNODEADDRESS>>",
        "<<SYSTEM~VERSION>>",
    };
    const std::string path = store::TemplateFile(folders.templates, account.templateName);
    reply.SaveToFile(path);
    return path;
}

std::string WriteDemoAgent(const store::FolderSettings& folders, const DemoAccount& account,
                           const std::string& templatePath)
{
    const std::string path = store::AgentFilePath(folders.agents, account.agentName);
    store::WriteAgentFile(path, store::kMessageAgent, {{"Subject", "contains", account.triggerText}},
                          {{"AUTO-REPLY", templatePath, ""},
                           {"FORWARD TO", account.forwardTo, "Order mail, answered automatically."}},
                          platform::Now());
    return path;
}

}  // namespace demo
