#include "platform/process.h"

#include "platform/error.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace platform {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Each started child gets a thread that waits for exactly that child. This
// reaps it as soon as it ends without touching SIGCHLD, which Qt and any
// other code that waits for its own children rely on.
void reapInBackground(pid_t pid)
{
    try {
        std::thread([pid] {
            int status;
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    } catch (const std::system_error&) {
        // No thread to be had: the child stays a zombie until we exit,
        // which is better than failing a start that has happened.
    }
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view s)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        if (isBlank(c)) {
            if (inWord)
                words.push_back(std::move(word));
            word.clear();
            inWord = false;
            ++i;
            continue;
        }
        if (c == '\\' && i + 1 < s.size() && s[i + 1] == '\n') {
            i += 2;  // a continued line
            continue;
        }
        inWord = true;
        if (c == '\'') {
            const size_t close = s.find('\'', i + 1);
            if (close == std::string_view::npos)
                throw ProcessError("Unterminated quote in command line");
            word.append(s.substr(i + 1, close - i - 1));
            i = close + 1;
        } else if (c == '"') {
            size_t j = i + 1;
            for (;;) {
                if (j >= s.size())
                    throw ProcessError("Unterminated quote in command line");
                const char d = s[j];
                if (d == '"')
                    break;
                if (d == '\\' && j + 1 < s.size() && std::strchr("\"\\$`\n", s[j + 1]) != nullptr) {
                    if (s[j + 1] != '\n')
                        word += s[j + 1];
                    j += 2;
                } else {
                    word += d;
                    ++j;
                }
            }
            i = j + 1;
        } else if (c == '\\') {
            if (i + 1 >= s.size())
                throw ProcessError("Command line ends with a backslash");
            word += s[i + 1];
            i += 2;
        } else {
            word += c;
            ++i;
        }
    }
    if (inWord)
        words.push_back(std::move(word));
    return words;
}

std::string QuoteCommandWord(std::string_view word)
{
    // Letters, digits, bytes of other scripts and these signs mean nothing
    // to a shell either, so a word of only them reads the same to a person.
    const auto plain = [](unsigned char c) {
        return c >= 0x80 || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               (c != 0 && std::strchr("_@%+=:,./-", c) != nullptr);
    };
    if (!word.empty() && std::all_of(word.begin(), word.end(), plain))
        return std::string(word);
    std::string quoted = "'";
    for (const char c : word) {
        if (c == '\'')
            quoted += "'\\''";  // close, a quoted quote, open again
        else
            quoted += c;
    }
    quoted += '\'';
    return quoted;
}

pid_t StartProcess(std::string_view commandLine, const std::vector<std::string>& extraArgs)
{
    std::vector<std::string> words;
    try {
        words = SplitCommandLine(commandLine);
    } catch (const ProcessError& error) {
        const std::string line(commandLine);
        throw StartError("Unable to start " + line + ": " + error.what(), line, error.what());
    }
    if (words.empty())
        throw StartError("Unable to start an empty command line", {}, "the command line is empty");
    words.insert(words.end(), extraArgs.begin(), extraArgs.end());
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // Open tables and their locks must not live on in a launched program.
#if defined(__GLIBC__) && __GLIBC_PREREQ(2, 34)
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
#endif

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, handled;
    sigemptyset(&none);
    sigemptyset(&handled);
    for (int sig = 1; sig < 32; ++sig)
        if (sig != SIGKILL && sig != SIGSTOP)
            sigaddset(&handled, sig);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &handled);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t pid = -1;
    const int rc = ::posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        throw StartError("Unable to start " + words[0] + ": " + std::strerror(rc), words[0], std::strerror(rc));
    reapInBackground(pid);
    return pid;
}

}  // namespace platform
