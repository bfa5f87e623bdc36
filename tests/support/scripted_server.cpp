#include "tests/support/scripted_server.h"

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace test_support {

namespace {

constexpr auto kStepLimit = std::chrono::seconds(10);

int millisecondsUntil(std::chrono::steady_clock::time_point deadline)
{
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

ScriptedServer::ScriptedServer()
{
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 4) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("scripted server: cannot listen on loopback");
    port_ = ntohs(address.sin_port);
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        throw std::runtime_error("scripted server: pipe failed");
    stopRead_ = fds[0];
    stopWrite_ = fds[1];
}

ScriptedServer::~ScriptedServer()
{
    if (thread_.joinable()) {
        char stop = 1;
        [[maybe_unused]] auto n = ::write(stopWrite_, &stop, 1);
        thread_.join();
    }
    for (int fd : {client_, listener_, stopRead_, stopWrite_})
        if (fd >= 0)
            ::close(fd);
}

std::string ScriptedServer::address() const { return "127.0.0.1:" + std::to_string(port_); }

ScriptedServer& ScriptedServer::send(std::string bytes)
{
    steps_.push_back({Step::Kind::Send, std::move(bytes), {}, {}});
    return *this;
}

ScriptedServer& ScriptedServer::sendParts(std::vector<std::string> parts, std::chrono::milliseconds gap)
{
    steps_.push_back({Step::Kind::SendParts, {}, std::move(parts), gap});
    return *this;
}

ScriptedServer& ScriptedServer::expectLine()
{
    steps_.push_back({Step::Kind::ExpectLine, {}, {}, {}});
    return *this;
}

ScriptedServer& ScriptedServer::reply(const std::string& line)
{
    expectLine();
    return send(line + "\r\n");
}

ScriptedServer& ScriptedServer::readData()
{
    steps_.push_back({Step::Kind::ReadData, {}, {}, {}});
    return *this;
}

ScriptedServer& ScriptedServer::pause(std::chrono::milliseconds time)
{
    steps_.push_back({Step::Kind::Pause, {}, {}, time});
    return *this;
}

ScriptedServer& ScriptedServer::closeConnection()
{
    steps_.push_back({Step::Kind::Close, {}, {}, {}});
    return *this;
}

ScriptedServer& ScriptedServer::waitForClientClose()
{
    steps_.push_back({Step::Kind::WaitClose, {}, {}, {}});
    return *this;
}

ScriptedServer& ScriptedServer::acceptNext()
{
    steps_.push_back({Step::Kind::AcceptNext, {}, {}, {}});
    return *this;
}

void ScriptedServer::start() { thread_ = std::thread([this] { run(); }); }

bool ScriptedServer::waitDone(std::chrono::milliseconds limit)
{
    auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (done_)
                return true;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        ::poll(nullptr, 0, 10);
    }
}

std::vector<std::string> ScriptedServer::lines() const
{
    std::lock_guard lock(mutex_);
    return lines_;
}

std::vector<std::string> ScriptedServer::blocks() const
{
    std::lock_guard lock(mutex_);
    return blocks_;
}

std::string ScriptedServer::error() const
{
    std::lock_guard lock(mutex_);
    return error_;
}

bool ScriptedServer::clientClosed() const
{
    std::lock_guard lock(mutex_);
    return clientClosed_;
}

void ScriptedServer::fail(const std::string& why)
{
    std::lock_guard lock(mutex_);
    if (error_.empty())
        error_ = why;
}

void ScriptedServer::run()
{
    if (acceptClient()) {
        for (const Step& step : steps_)
            if (!play(step))
                break;
    }
    std::lock_guard lock(mutex_);
    done_ = true;
}

bool ScriptedServer::acceptClient()
{
    if (client_ >= 0) {
        ::close(client_);
        client_ = -1;
    }
    input_.clear();
    {
        std::lock_guard lock(mutex_);
        clientClosed_ = false;
    }
    pollfd entries[2] = {{listener_, POLLIN, 0}, {stopRead_, POLLIN, 0}};
    if (::poll(entries, 2, static_cast<int>(std::chrono::milliseconds(kStepLimit).count())) <= 0 ||
        (entries[1].revents & POLLIN) != 0) {
        fail("no client connected");
        return false;
    }
    client_ = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (client_ < 0) {
        fail("accept failed");
        return false;
    }
    return true;
}

bool ScriptedServer::sleepFor(std::chrono::milliseconds time)
{
    pollfd entry{stopRead_, POLLIN, 0};
    return ::poll(&entry, 1, static_cast<int>(time.count())) == 0;
}

bool ScriptedServer::sendBytes(const std::string& bytes)
{
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        ssize_t n = ::send(client_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            // The client is not reading: wait, but never past a stop.
            pollfd entries[2] = {{client_, POLLOUT, 0}, {stopRead_, POLLIN, 0}};
            if (::poll(entries, 2, static_cast<int>(std::chrono::milliseconds(kStepLimit).count())) <= 0 ||
                (entries[1].revents & POLLIN) != 0) {
                fail("client stopped reading");
                return false;
            }
            continue;
        }
        if (n <= 0) {
            fail("client went away while the server was sending");
            return false;
        }
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

bool ScriptedServer::takeLine()
{
    const std::size_t end = input_.find('\n');
    if (end == std::string::npos)
        return false;
    std::string line = input_.substr(0, end);
    input_.erase(0, end + 1);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    std::lock_guard lock(mutex_);
    lines_.push_back(line);
    return true;
}

bool ScriptedServer::receiveMore(std::chrono::steady_clock::time_point deadline)
{
    pollfd entries[2] = {{client_, POLLIN, 0}, {stopRead_, POLLIN, 0}};
    int rc = ::poll(entries, 2, millisecondsUntil(deadline));
    if (rc <= 0 || (entries[1].revents & POLLIN) != 0)
        return false;
    char buffer[16384];
    ssize_t n = ::recv(client_, buffer, sizeof buffer, 0);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return true;
    if (n <= 0) {
        std::lock_guard lock(mutex_);
        clientClosed_ = true;
        return false;
    }
    input_.append(buffer, static_cast<std::size_t>(n));
    return true;
}

bool ScriptedServer::play(const Step& step)
{
    auto deadline = std::chrono::steady_clock::now() + kStepLimit;
    switch (step.kind) {
    case Step::Kind::Send:
        return sendBytes(step.bytes);
    case Step::Kind::SendParts:
        for (std::size_t i = 0; i < step.parts.size(); ++i) {
            if (i > 0 && !sleepFor(step.time))
                return false;
            if (!sendBytes(step.parts[i]))
                return false;
        }
        return true;
    case Step::Kind::ExpectLine:
        for (;;) {
            if (takeLine())
                return true;
            if (!receiveMore(deadline)) {
                fail("no line came from the client");
                return false;
            }
        }
    case Step::Kind::ReadData:
        for (;;) {
            // The block ends at a "." line: at its very start, or after a CR LF.
            std::size_t cut = std::string::npos;
            std::size_t skip = 0;
            std::size_t found = input_.find("\r\n.\r\n");
            if (input_.rfind(".\r\n", 0) == 0) {
                cut = 0;
                skip = 3;
            } else if (found != std::string::npos) {
                cut = found + 2;
                skip = found + 5;
            }
            if (cut != std::string::npos) {
                std::lock_guard lock(mutex_);
                blocks_.push_back(input_.substr(0, cut));
                input_.erase(0, skip);
                return true;
            }
            if (!receiveMore(deadline)) {
                fail("the data block did not end");
                return false;
            }
        }
    case Step::Kind::Pause:
        return sleepFor(step.time);
    case Step::Kind::Close:
        ::shutdown(client_, SHUT_RDWR);
        ::close(client_);
        client_ = -1;
        return true;
    case Step::Kind::WaitClose:
        for (;;) {
            while (takeLine()) {
            }
            if (!receiveMore(std::chrono::steady_clock::now() + kStepLimit))
                return clientClosed();
        }
    case Step::Kind::AcceptNext:
        return acceptClient();
    }
    return false;
}

}  // namespace test_support
