// The processor as a program of its own: with no display it runs offscreen,
// a single pass ends it, and SIGTERM closes it like the tray's Close.

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "platform/files.h"
#include "platform/ini_file.h"
#include "shell_fixture.h"

namespace shelltest {

namespace {

pid_t spawn(const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(SHELL_TEST_PROCESSOR));
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    return pid;
}

// The exit status, or -1 when the program is still running after `seconds`.
int waitFor(pid_t pid, int seconds)
{
    for (int i = 0; i < seconds * 20; ++i) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    return -1;
}

}  // namespace

class ProgramTest : public ShellTest {
protected:
    // As cron starts it: no display, no platform chosen.
    ScopedEnv platform{"QT_QPA_PLATFORM", std::nullopt};
    ScopedEnv display{"DISPLAY", std::nullopt};
    ScopedEnv wayland{"WAYLAND_DISPLAY", std::nullopt};

    std::string log() const { return platform::ReadWholeFile(homeDir() + "postproc.log"); }
};

TEST_F(ProgramTest, SinglePassWithoutADisplayRunsOnceAndEnds)
{
    EXPECT_EQ(waitFor(spawn({"/SINGLEPASS"}), 60), 0);
    const std::string text = log();
    EXPECT_NE(text.find("Mail retriever running in single pass mode."), std::string::npos);
    EXPECT_NE(text.find("pass ran"), std::string::npos);
}

TEST_F(ProgramTest, SinglePassWhenSwitchedOffEndsWithoutAPass)
{
    platform::IniFile(settingsFile()).WriteBool("ProcessorSettings", "AutoEnabled", false);
    EXPECT_EQ(waitFor(spawn({"/singlepass"}), 60), 0);
    EXPECT_EQ(log().find("pass ran"), std::string::npos);
}

TEST_F(ProgramTest, TerminationSignalClosesAndSavesTheLog)
{
    const pid_t pid = spawn({"/whatever"});
    // The handler is in place before start-up writes the log file.
    for (int i = 0; i < 600 && !platform::FileExists(homeDir() + "postproc.log"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ::kill(pid, SIGTERM);
    EXPECT_EQ(waitFor(pid, 60), 0);
    const std::string text = log();
    EXPECT_NE(text.find("Service Started"), std::string::npos);
    EXPECT_NE(text.find("not understood"), std::string::npos);
}

TEST_F(ProgramTest, LinesOfAKilledRunAreInTheLogAtTheNextStart)
{
    const pid_t pid = spawn({"/whatever"});
    const std::string journal = homeDir() + "postproc.log.journal";
    for (int i = 0; i < 600; ++i) {
        if (platform::FileExists(journal) &&
            platform::ReadWholeFile(journal).find("not understood") != std::string::npos)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ::kill(pid, SIGKILL);
    EXPECT_EQ(waitFor(pid, 60), 128 + SIGKILL);

    EXPECT_EQ(waitFor(spawn({"/SINGLEPASS"}), 60), 0);
    const std::string text = log();
    const auto pass = text.find("pass ran");
    const auto notUnderstood = text.find("not understood");
    const auto started = text.find("Service Started", notUnderstood);
    ASSERT_NE(pass, std::string::npos);
    ASSERT_NE(notUnderstood, std::string::npos);
    ASSERT_NE(started, std::string::npos);
    EXPECT_LT(pass, notUnderstood);  // newest first: the killed run's lines below
    EXPECT_FALSE(platform::FileExists(journal));
}

}  // namespace shelltest
