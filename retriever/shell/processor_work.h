#pragma once
// The part of a processor that is its own: the steps of start-up that
// touch its mail components, and its pass. The shell calls these; the
// program hands the shell a factory that builds its work object once the
// windows exist.

#include <string>

namespace shell {

class ProcessorWork {
public:
    virtual ~ProcessorWork() = default;
    // Start-up: load the socket library of the mail components.
    virtual void LoadSockets() {}
    // Start-up: the dial-up entry of the settings file (never "None").
    virtual void SetDialupService(const std::string& /*service*/) {}
    // Start-up: after the folders are made, before the tables open.
    virtual void BeforeOpenTables() {}
    // One pass of the processor's work.
    virtual void Pass() = 0;
};

}  // namespace shell
