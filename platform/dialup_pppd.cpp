#include "platform/dialup_pppd.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace platform {

namespace {

constexpr std::size_t kMaxEntries = 25;

std::string readFirstLine(const std::string& path)
{
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

std::vector<std::string> readCommandLine(pid_t pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/cmdline", std::ios::binary);
    std::vector<std::string> words;
    std::string word;
    while (std::getline(in, word, '\0'))
        words.push_back(word);
    return words;
}

}  // namespace

PppdDialupBackend::PppdDialupBackend() = default;

PppdDialupBackend::PppdDialupBackend(Paths paths) : paths_(std::move(paths)) {}

PppdDialupBackend::~PppdDialupBackend()
{
    // Links stay up past the program (as a dial-up program's would); only the
    // processes that already ended are collected.
    for (auto& [handle, dial] : dials_) {
        int error = 0;
        reap(dial, error);
    }
}

bool PppdDialupBackend::available() const { return ::access(paths_.pppd.c_str(), X_OK) == 0; }

std::vector<std::string> PppdDialupBackend::entries()
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& item : fs::directory_iterator(paths_.peersDir, ec)) {
        std::string name = item.path().filename().string();
        if (name.empty() || name[0] == '.' || name.back() == '~' || !item.is_regular_file(ec))
            continue;
        names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    if (names.size() > kMaxEntries)
        names.resize(kMaxEntries);
    return names;
}

std::vector<PppdDialupBackend::Interface> PppdDialupBackend::pppInterfaces() const
{
    std::vector<Interface> found;
    std::error_code ec;
    for (const auto& item : fs::directory_iterator(paths_.netDir, ec)) {
        std::string name = item.path().filename().string();
        if (name.rfind("ppp", 0) != 0)
            continue;
        Interface entry;
        entry.name = name;
        std::string base = paths_.netDir + "/" + name + "/";
        try {
            entry.index = std::stol(readFirstLine(base + "ifindex"));
            entry.up = (std::stoul(readFirstLine(base + "flags"), nullptr, 16) & IFF_UP) != 0;
        } catch (const std::exception&) {
            continue;  // vanished while we looked
        }
        found.push_back(entry);
    }
    std::sort(found.begin(), found.end(), [](const Interface& a, const Interface& b) { return a.index < b.index; });
    return found;
}

std::string PppdDialupBackend::interfaceOfPid(pid_t pid) const
{
    for (const Interface& item : pppInterfaces()) {
        std::string pidText = readFirstLine(paths_.runDir + "/" + item.name + ".pid");
        if (!pidText.empty() && std::atol(pidText.c_str()) == pid)
            return item.name;
    }
    return {};
}

std::string PppdDialupBackend::entryOfInterface(const std::string& name) const
{
    std::string pidText = readFirstLine(paths_.runDir + "/" + name + ".pid");
    if (pidText.empty())
        return {};
    std::vector<std::string> words = readCommandLine(static_cast<pid_t>(std::atol(pidText.c_str())));
    auto call = std::find(words.begin(), words.end(), "call");
    if (call == words.end() || call + 1 == words.end())
        return {};
    return *(call + 1);
}

std::vector<DialupConnection> PppdDialupBackend::connections()
{
    std::vector<DialupConnection> result;
    for (const Interface& item : pppInterfaces()) {
        if (!item.up)
            continue;
        DialupConnection connection;
        connection.handle = item.index;
        for (const auto& [handle, dial] : dials_) {
            if (!dial.ended && dial.interface == item.name) {
                connection.handle = handle;
                connection.entry = dial.entry;
            }
        }
        if (connection.entry.empty())
            connection.entry = entryOfInterface(item.name);
        result.push_back(connection);
    }
    return result;
}

std::string PppdDialupBackend::interfaceOfHandle(long handle) const
{
    auto own = dials_.find(handle);
    if (own != dials_.end())
        return own->second.interface;
    for (const Interface& item : pppInterfaces())
        if (item.index == handle)
            return item.name;
    return {};
}

std::string PppdDialupBackend::ipAddress(long handle)
{
    std::string name = interfaceOfHandle(handle);
    if (name.empty())
        return {};
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0)
        return {};
    std::string address;
    for (ifaddrs* it = list; it != nullptr; it = it->ifa_next) {
        if (it->ifa_addr == nullptr || it->ifa_addr->sa_family != AF_INET || name != it->ifa_name)
            continue;
        char text[INET_ADDRSTRLEN] = {};
        ::inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(it->ifa_addr)->sin_addr, text, sizeof text);
        address = text;
        break;
    }
    ::freeifaddrs(list);
    return address;
}

bool PppdDialupBackend::passwordSaved(const std::string&) { return true; }

void PppdDialupBackend::storePassword(const std::string&, const std::string&, bool) {}

long PppdDialupBackend::dial(const std::string& entry)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    // nodetach keeps pppd our child, so its exit status tells why a dial failed.
    std::vector<std::string> words = {paths_.pppd, "call", entry, "nodetach"};
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    int rc = ::posix_spawn(&pid, paths_.pppd.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        throw DialupError(kCannotStart, errorText(kCannotStart) + ": " + std::strerror(rc));
    Dial dialling;
    dialling.pid = pid;
    dialling.entry = entry;
    long handle = nextHandle_++;
    dials_[handle] = dialling;
    return handle;
}

bool PppdDialupBackend::reap(Dial& dial, int& error)
{
    if (dial.ended)
        return true;
    int status = 0;
    pid_t rc = ::waitpid(dial.pid, &status, WNOHANG);
    if (rc == 0)
        return false;
    dial.ended = true;
    if (rc < 0)
        error = kEndedBeforeLink;
    else if (WIFEXITED(status))
        error = WEXITSTATUS(status) != 0 ? WEXITSTATUS(status) : kEndedBeforeLink;
    else
        error = 5;  // ended by a signal
    return true;
}

std::vector<DialupEvent> PppdDialupBackend::poll(long handle)
{
    std::vector<DialupEvent> events;
    auto found = dials_.find(handle);
    if (found == dials_.end())
        return events;
    Dial& dial = found->second;
    auto advance = [&](int state) {
        if (dial.state < state) {
            dial.state = state;
            events.push_back({state, 0});
        }
    };
    if (dial.state < 0)
        advance(dialstate::OpenPort);
    int error = 0;
    if (reap(dial, error)) {
        if (error != 0)
            events.push_back({dial.state < 0 ? 0 : dial.state, error});
        return events;
    }
    advance(dialstate::ConnectDevice);
    if (dial.interface.empty())
        dial.interface = interfaceOfPid(dial.pid);
    if (dial.interface.empty())
        return events;
    advance(dialstate::Authenticate);
    for (const Interface& item : pppInterfaces())
        if (item.name == dial.interface && item.up)
            advance(dialstate::Connected);
    return events;
}

void PppdDialupBackend::hangUp(long handle)
{
    auto found = dials_.find(handle);
    if (found == dials_.end())
        return;
    Dial& dial = found->second;
    int error = 0;
    if (!reap(dial, error)) {
        ::kill(dial.pid, SIGTERM);
        // pppd ends its link cleanly on SIGTERM; give it a few seconds.
        for (int i = 0; i < 300 && !reap(dial, error); ++i)
            ::poll(nullptr, 0, 10);
        if (!dial.ended) {
            ::kill(dial.pid, SIGKILL);
            ::waitpid(dial.pid, nullptr, 0);
        }
    }
    dials_.erase(found);
}

std::string PppdDialupBackend::errorText(int number)
{
    switch (number) {
    case 1: return "A fatal error occurred in the dial-up program";
    case 2: return "The dial-up entry holds invalid options";
    case 3: return "The dial-up program is not allowed to run for this user";
    case 4: return "The kernel does not support PPP";
    case 5: return "The dial-up program was stopped by a signal";
    case 6: return "The serial port could not be locked";
    case 7: return "The serial port could not be opened";
    case 8: return "The connect script failed";
    case 9: return "The pty command could not be run";
    case 10: return "The PPP negotiation failed";
    case 11: return "The peer failed to authenticate itself";
    case 12: return "The link was terminated because it was idle";
    case 13: return "The link was terminated because the connect time limit was reached";
    case 14: return "Callback was negotiated";
    case 15: return "The peer is not responding";
    case 16: return "The modem hung up";
    case 17: return "Serial loopback was detected";
    case 18: return "The init script failed";
    case 19: return "Authentication to the peer failed";
    case kEndedBeforeLink: return "The dial-up program ended before the link came up";
    case kCannotStart: return "The dial-up program could not be started";
    default: return {};
    }
}

}  // namespace platform
