#pragma once
// A real SMTP server for tests (aiosmtpd, started with /usr/bin/python3) on a
// free loopback port. Every message it accepts is kept byte for byte, with
// its envelope, for the test to read back.

#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace test_support {

class SmtpServer {
public:
    struct Message {
        std::string mailFrom;                 // the MAIL FROM address
        std::string helo;                     // the name the client gave in HELO
        std::vector<std::string> recipients;  // accepted RCPT TO addresses, in order
        std::string data;                     // the message as received (CR LF, dots undone)
    };

    enum class Lines { Any, AtMost998 };

    // refusedRecipients: addresses the server answers RCPT TO with 550.
    // Lines::AtMost998: a message with a longer line is refused with 500,
    // as strict servers do.
    explicit SmtpServer(std::vector<std::string> refusedRecipients = {}, Lines lines = Lines::Any);
    ~SmtpServer();

    // Whether the server can run here (python3 with aiosmtpd).
    static bool available();

    std::uint16_t port() const { return port_; }
    std::string address() const { return "127.0.0.1:" + std::to_string(port_); }

    // The messages received so far, in arrival order.
    std::vector<Message> messages() const;
    std::size_t messageCount() const;
    // Waits until at least count messages have arrived.
    bool waitForMessages(std::size_t count, std::chrono::milliseconds limit = std::chrono::seconds(10)) const;
    // Forgets what was received.
    void clear();

private:
    std::vector<std::string> messageFiles() const;

    TempDir folder_{"smtp"};
    std::unique_ptr<ChildProcess> process_;
    std::uint16_t port_ = 0;
};

}  // namespace test_support
