#pragma once
// The demo's agent file and the auto-reply template it sends.

#include <string>

#include "store/settings.h"
#include "tools/demo_setup/demo_account.h"

namespace demo {

// Writes the template into the templates folder; returns its path.
std::string WriteReplyTemplate(const store::FolderSettings& folders, const DemoAccount& account);

// Writes the agent: Subject contains the trigger text -> auto-reply with the
// template, then forward to the team.
std::string WriteDemoAgent(const store::FolderSettings& folders, const DemoAccount& account,
                           const std::string& templatePath);

}  // namespace demo
