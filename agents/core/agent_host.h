#pragma once
// What the status window gives the agent pass: the log, the pass counter
// label, the hidden trigger list, the beep, sounds and the close request.
// The pass reaches the window only through this, so it runs without one.

#include <string>
#include <vector>

namespace agents {

class AgentHost {
public:
    virtual ~AgentHost() = default;
    // Level 0 logs a line; 9 a debug line (shown in debug mode only).
    virtual void SendtoLog(const std::string& text, int level) = 0;
    // lblScanPasses.
    virtual void ShowScanPasses(const std::string& text) = 0;
    // lstTriggeredArray.
    virtual void ShowTriggerResults(const std::vector<std::string>& results) { (void)results; }
    virtual void Beep() {}
    // Starts playing a sound file and returns at once.
    virtual void PlaySound(const std::string& file) { (void)file; }
    // Asks the application to end once the pass has returned.
    virtual void CloseApplication() {}
};

}  // namespace agents
