#pragma once
// Running a real processor program (postp, posta) against a private
// installation: its settings file, a start with the installation's
// environment, and a bounded wait that measures the run.

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

namespace test_support {

struct ProgramExit {
    bool exited = false;   // ended by itself (not by a signal, not still running)
    int status = -1;       // exit code when exited
    long peakRssKb = 0;    // the child's peak resident memory
    double seconds = 0;
};

// Writes "tarsel.ini" into configFolder, naming the messages, agents and data
// folders (each ending in "/").
void writeProcessorSettings(const std::string& configFolder, const std::string& messagesFolder,
                            const std::string& agentsFolder, const std::string& dataFolder);

// Starts program with the arguments, its settings read from configFolder and
// its log written to homeFolder, offscreen and without a session bus; throws
// std::runtime_error when it cannot be started.
pid_t startProcessor(const std::string& program, const std::vector<std::string>& args,
                     const std::string& configFolder, const std::string& homeFolder);

// Waits for the child to end, killing it (SIGKILL) after `limit`.
ProgramExit waitForProgram(pid_t pid, std::chrono::seconds limit);

// Waits up to a minute for the running program to hold a file of that name
// open (a program that opens its tables at start holds them while it runs);
// false when it does not.
bool waitUntilHeld(pid_t pid, const std::string& fileName);

}  // namespace test_support
