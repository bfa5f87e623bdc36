#include "store/folder_tree.h"

#include "store/agent_name.h"

namespace store {

namespace {

std::string withSlash(std::string_view folder)
{
    std::string out(folder);
    if (!out.empty() && out.back() != '/')
        out += '/';
    return out;
}

std::string_view trimmedId(std::string_view id)
{
    const size_t end = id.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string_view() : id.substr(0, end + 1);
}

std::string subfolder(std::string_view messagesFolder, std::string_view accountId, const char* name)
{
    return AccountFolder(messagesFolder, accountId) + name + "/";
}

}  // namespace

std::string InFolder(std::string_view folder, std::string_view name) { return withSlash(folder) + std::string(name); }

std::string AccountFolder(std::string_view messagesFolder, std::string_view accountId)
{
    return InFolder(messagesFolder, trimmedId(accountId)) + "/";
}

std::string PendingFolder(std::string_view messagesFolder, std::string_view accountId)
{
    return subfolder(messagesFolder, accountId, kPendingFolderName);
}

std::string ReceivedFolder(std::string_view messagesFolder, std::string_view accountId)
{
    return subfolder(messagesFolder, accountId, kReceivedFolderName);
}

std::string OutFolder(std::string_view messagesFolder, std::string_view accountId)
{
    return subfolder(messagesFolder, accountId, kOutFolderName);
}

std::string SentFolder(std::string_view messagesFolder, std::string_view accountId)
{
    return subfolder(messagesFolder, accountId, kSentFolderName);
}

std::string AgentFilePath(std::string_view agentsFolder, std::string_view agentName)
{
    CheckAgentName(agentName);
    return InFolder(agentsFolder, agentName) + kAgentExtension;
}

std::string TemplateFile(std::string_view templatesFolder, std::string_view templateName)
{
    return InFolder(templatesFolder, templateName) + kMailExtension;
}

std::string TableFile(std::string_view databaseFolder, std::string_view tableFile)
{
    return InFolder(databaseFolder, tableFile);
}

}  // namespace store
