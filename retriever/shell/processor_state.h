#pragma once
// The program-wide state of a processor, one instance per program.

#include <string>

namespace shell {

struct ProcessorState {
    bool ProcessingEnabled = false;  // read at start-up, flipped by On/Off
    int ScanPasses = 0;              // finished passes
    std::string CurrentNodeID;       // UNIQUE_ID of the account in work
    std::string MessagesFolder;      // folder settings as stored
    std::string AgentsFolder;
    std::string DatabaseFolder;
    bool DebugMode = false;  // posta: debug lines are logged
};

}  // namespace shell
