#pragma once
// The least a client can do to hand a mail to an SMTP server: blocking POSIX
// sockets, one connection per message, each command written once and its
// reply awaited. It sets the floor the agent pass is measured against.

#include <cstdint>
#include <string>

namespace bench_agents {

// Sends `data` (a whole message, CR LF lines) from `from` to `to` through
// the server at 127.0.0.1:port: connect, HELO, MAIL, RCPT, DATA, QUIT.
// Throws std::runtime_error when the server refuses a step.
void SendPlain(std::uint16_t port, const std::string& from, const std::string& to, const std::string& data);

// The message as the DATA block carries it: leading dots doubled and the
// closing "." line added, so it can be sent with one write.
std::string DataBlock(const std::string& message);

}  // namespace bench_agents
