#include "tests/support/child_process.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace test_support {

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const std::string& errorLog)
{
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, errorLog.empty() ? "/dev/null" : errorLog.c_str(),
                                     O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // A group of its own, so a test's Ctrl-C does not reach it first.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    std::vector<std::string> words = argv;
    std::vector<char*> args;
    for (std::string& word : words)
        args.push_back(word.data());
    args.push_back(nullptr);
    int rc = ::posix_spawn(&pid_, args[0], &actions, &attributes, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(pipeFds[1]);
    if (rc != 0) {
        ::close(pipeFds[0]);
        pid_ = -1;
        throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(rc));
    }
    output_ = pipeFds[0];
}

ChildProcess::~ChildProcess()
{
    stop();
    if (output_ >= 0)
        ::close(output_);
}

std::string ChildProcess::readLine(std::chrono::milliseconds wait)
{
    auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        std::size_t end = pending_.find('\n');
        if (end != std::string::npos) {
            std::string line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            return line;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || output_ < 0)
            return {};
        pollfd entry{output_, POLLIN, 0};
        if (::poll(&entry, 1, static_cast<int>(left.count())) <= 0)
            continue;
        char buffer[512];
        ssize_t n = ::read(output_, buffer, sizeof buffer);
        if (n <= 0)
            return {};
        pending_.append(buffer, static_cast<std::size_t>(n));
    }
}

bool ChildProcess::running()
{
    if (pid_ < 0)
        return false;
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        return false;
    }
    return true;
}

void ChildProcess::stop()
{
    if (pid_ < 0)
        return;
    ::kill(pid_, SIGTERM);
    for (int i = 0; i < 500; ++i) {
        if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
            pid_ = -1;
            return;
        }
        ::poll(nullptr, 0, 10);
    }
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

}  // namespace test_support
