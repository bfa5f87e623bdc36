#pragma once
// A server program started for a test: spawned with its standard output on
// a pipe the test can read, stopped (SIGTERM, then SIGKILL) and collected
// when the object goes.

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

namespace test_support {

class ChildProcess {
public:
    // Starts argv[0] with the arguments; throws std::runtime_error when it
    // cannot be started. Standard error goes to errorLog ("" = /dev/null).
    explicit ChildProcess(const std::vector<std::string>& argv, const std::string& errorLog = "");
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    // One line of the child's standard output, "" at its end or after the wait.
    std::string readLine(std::chrono::milliseconds wait);
    bool running();
    void stop();

private:
    pid_t pid_ = -1;
    int output_ = -1;
    std::string pending_;
};

}  // namespace test_support
