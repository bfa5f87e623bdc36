#include "plain_smtp_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string_view>

namespace bench_agents {

namespace {

class Connection {
public:
    explicit Connection(std::uint16_t port)
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd_ < 0)
            fail("socket");
        const int on = 1;
        ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
            fail("connect");
    }
    ~Connection() { ::close(fd_); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    void send(std::string_view bytes)
    {
        while (!bytes.empty()) {
            const ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                fail("send");
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
    }

    // Reads one reply (continuation lines included) and checks its code.
    void expect(const char* code)
    {
        for (;;) {
            const std::string line = readLine();
            if (line.compare(0, 3, code) != 0)
                throw std::runtime_error("the server answered: " + line);
            if (line.size() < 4 || line[3] != '-')
                return;
        }
    }

private:
    std::string readLine()
    {
        for (;;) {
            const auto end = input_.find("\r\n");
            if (end != std::string::npos) {
                std::string line = input_.substr(0, end);
                input_.erase(0, end + 2);
                return line;
            }
            char chunk[4096];
            const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                fail("recv");
            input_.append(chunk, static_cast<std::size_t>(n));
        }
    }

    [[noreturn]] void fail(const char* step)
    {
        throw std::runtime_error(std::string(step) + ": " + std::strerror(errno));
    }

    int fd_ = -1;
    std::string input_;
};

}  // namespace

void SendPlain(std::uint16_t port, const std::string& from, const std::string& to, const std::string& data)
{
    Connection connection(port);
    connection.expect("220");
    connection.send("HELO bench\r\n");
    connection.expect("250");
    connection.send("MAIL FROM:<" + from + ">\r\n");
    connection.expect("250");
    connection.send("RCPT TO:<" + to + ">\r\n");
    connection.expect("250");
    connection.send("DATA\r\n");
    connection.expect("354");
    connection.send(data);
    connection.expect("250");
    connection.send("QUIT\r\n");
    connection.expect("221");
}

std::string DataBlock(const std::string& message)
{
    std::string out;
    out.reserve(message.size() + 64);
    bool lineStart = true;
    for (const char c : message) {
        if (lineStart && c == '.')
            out += '.';
        out += c;
        lineStart = c == '\n';
    }
    if (!lineStart)
        out += "\r\n";
    return out + ".\r\n";
}

}  // namespace bench_agents
