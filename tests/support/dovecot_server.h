#pragma once
// A real POP3 server for tests: Dovecot with a private configuration on a
// free loopback port, one passwd-file user with a plain-text password, and a
// Maildir the test fills. Run as root, the mailbox belongs to the system's
// "mail" user (Dovecot serves no mailbox of uid 0).

#include "tests/support/child_process.h"
#include "tests/support/temp_dir.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace test_support {

class DovecotServer {
public:
    explicit DovecotServer(std::string user = "tester", std::string password = "secret");
    ~DovecotServer();

    // Whether Dovecot is installed here.
    static bool available();

    std::uint16_t port() const { return port_; }
    std::string address() const { return "127.0.0.1:" + std::to_string(port_); }
    const std::string& user() const { return user_; }
    const std::string& password() const { return password_; }

    // Delivers a message to the mailbox (LF or CR LF line ends; the server
    // sends CR LF). Messages are numbered in the order they were added.
    void addMessage(const std::string& text);
    // Messages in the mailbox now (those a POP3 QUIT deleted are gone).
    std::size_t messageCount() const;
    // Their texts as stored, in the order they were added.
    std::vector<std::string> messages() const;
    void clearMailbox();
    // Dovecot's log, for a failing test's message.
    std::string log() const;

private:
    void writeConfig();
    bool startOn(std::uint16_t port);
    std::vector<std::string> messageFiles() const;
    void giveToMailUser(const std::string& path) const;

    std::string user_;
    std::string password_;
    TempDir base_{"dv", "/tmp"};  // short: Dovecot's socket paths live inside
    std::string maildir_;
    unsigned uid_ = 0;
    unsigned gid_ = 0;
    std::string serviceUser_;
    unsigned delivered_ = 0;
    std::uint16_t port_ = 0;
    std::unique_ptr<ChildProcess> process_;
};

}  // namespace test_support
