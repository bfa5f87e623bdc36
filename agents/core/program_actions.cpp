// The actions that reach outside the mail: launching a program on a saved
// copy of the message, and playing a sound.
#include "agents/core/agent_pass.h"
#include "mail/mail_error.h"
#include "platform/error.h"
#include "platform/files.h"
#include "platform/process.h"
#include "retriever/core/message_keys.h"

namespace agents {

void AgentPass::launchProgram(TmsMessage& message, const std::string& command)
{
    const std::string folder = programFolder_ + "temp/";
    const std::string file = folder + MakeSafeFileName(messageId_) + ".eml";
    const std::string commandLine = command + " " + file;
    if (commandLine.size() > kActionTextLimit) {
        log("Program not launched: its command line is longer than 255 characters: " + commandLine);
        return;
    }
    // Without its copy the program has nothing to open. Ending the pass here
    // would run this message's earlier actions again at every pass.
    incomingChanged_ = true;  // saving drops the writer's own header lines
    try {
        platform::ForceDirectories(folder);
        message.SaveToFile(file);
    } catch (const platform::FileError& error) {
        log("Program not launched: unable to save " + file + ": " + error.what());
        return;
    } catch (const mail::EMailError& error) {
        log("Program not launched: unable to save " + file + ": " + error.what());
        return;
    }
    // The file is one argument of its own, whatever its name holds. A start
    // that failed is recorded as such: the history is what the user reads.
    try {
        if (services.launch)
            services.launch(command, {file});
    } catch (const platform::StartError& error) {
        log(error.what());
        const std::string program = error.Program().empty() ? "" : error.Program() + ": ";
        AddAgentEntry(messageId_, "Program not launched: " + program + error.Reason());
        return;
    } catch (const platform::ProcessError& error) {
        log(error.what());
        AddAgentEntry(messageId_, std::string("Program not launched: ") + error.what());
        return;
    }
    AddAgentEntry(messageId_, "Launched Program " + commandLine);
}

void AgentPass::playSound(const std::string& file)
{
    if (file.size() > kActionTextLimit) {
        log("Sound not played: its file name is longer than 255 characters: " + file);
        return;
    }
    AddAgentEntry(messageId_, "Played Sound: " + file);
    host_.PlaySound(file);
}

}  // namespace agents
