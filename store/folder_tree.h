#pragma once
// The folder tree the three programs meet in: per-account message folders
// under the messages folder, agent files, templates and the tables. Every
// program builds these paths here, so they are the same strings in each.
// A folder setting is used as stored; a missing "/" between a folder and a
// name is added.

#include <string>
#include <string_view>

namespace store {

// Subfolders of an account's message folder, one spelling each.
inline constexpr const char* kPendingFolderName = "Pending";
inline constexpr const char* kReceivedFolderName = "In";
inline constexpr const char* kOutFolderName = "Out";
inline constexpr const char* kSentFolderName = "Sent";
inline constexpr const char* kAgentExtension = ".agent";
inline constexpr const char* kMailExtension = ".eml";

// folder + name, with "/" between them when the folder lacks it (an empty
// folder gives the name alone).
std::string InFolder(std::string_view folder, std::string_view name);

// messages folder + account identifier + "/"; trailing blanks of a
// fixed-width identifier are dropped.
std::string AccountFolder(std::string_view messagesFolder, std::string_view accountId);
std::string PendingFolder(std::string_view messagesFolder, std::string_view accountId);   // ".../Pending/"
std::string ReceivedFolder(std::string_view messagesFolder, std::string_view accountId);  // ".../In/"
std::string OutFolder(std::string_view messagesFolder, std::string_view accountId);       // ".../Out/"
std::string SentFolder(std::string_view messagesFolder, std::string_view accountId);      // ".../Sent/"

// agents folder + name + ".agent", for a valid agent name only (StoreError
// with the reason otherwise; see agent_name.h).
std::string AgentFilePath(std::string_view agentsFolder, std::string_view agentName);
// templates folder + name + ".eml".
std::string TemplateFile(std::string_view templatesFolder, std::string_view templateName);
// data folder + table file name.
std::string TableFile(std::string_view databaseFolder, std::string_view tableFile);

}  // namespace store
