#include "tests/support/processor_run.h"

#include "tests/support/temp_dir.h"

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <spawn.h>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace test_support {

namespace {

// Whether the process holds open a file of that name.
bool holds(pid_t pid, const std::string& fileName)
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
        const auto target = std::filesystem::read_symlink(entry.path(), error);
        if (!error && target.filename() == fileName)
            return true;
    }
    return false;
}

}  // namespace

void writeProcessorSettings(const std::string& configFolder, const std::string& messagesFolder,
                            const std::string& agentsFolder, const std::string& dataFolder)
{
    writeFile(configFolder + "tarsel.ini", "[Folders]\nMessages=" + messagesFolder + "\nAgents=" + agentsFolder +
                                               "\nDataBase=" + dataFolder + "\n");
}

pid_t startProcessor(const std::string& program, const std::vector<std::string>& args,
                     const std::string& configFolder, const std::string& homeFolder)
{
    const auto overridden = [](const std::string& entry) {
        for (const char* name : {"TARSEL_CONFIG_DIR=", "TARSEL_HOME=", "QT_QPA_PLATFORM=", "DBUS_SESSION_BUS_ADDRESS="})
            if (entry.rfind(name, 0) == 0)
                return true;
        return false;
    };
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e)
        if (!overridden(*e))
            env.emplace_back(*e);
    env.push_back("TARSEL_CONFIG_DIR=" + configFolder);
    env.push_back("TARSEL_HOME=" + homeFolder);
    env.push_back("QT_QPA_PLATFORM=offscreen");
    env.push_back("DBUS_SESSION_BUS_ADDRESS=disabled:");
    std::vector<char*> envp;
    for (std::string& entry : env)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::vector<std::string> argvText{program};
    argvText.insert(argvText.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : argvText)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), envp.data()) != 0)
        throw std::runtime_error("cannot start " + program);
    return pid;
}

ProgramExit waitForProgram(pid_t pid, std::chrono::seconds limit)
{
    const auto started = std::chrono::steady_clock::now();
    ProgramExit result;
    int status = 0;
    rusage usage{};
    bool killed = false;
    for (;;) {
        const pid_t done = wait4(pid, &status, WNOHANG, &usage);
        if (done == pid)
            break;
        if (done < 0 && errno != EINTR)
            return result;
        if (!killed && std::chrono::steady_clock::now() - started > limit) {
            ::kill(pid, SIGKILL);
            killed = true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    result.exited = WIFEXITED(status);
    result.status = result.exited ? WEXITSTATUS(status) : -1;
    result.peakRssKb = usage.ru_maxrss;
    return result;
}

bool waitUntilHeld(pid_t pid, const std::string& fileName)
{
    for (int i = 0; i < 1200; ++i) {
        if (holds(pid, fileName))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

}  // namespace test_support
