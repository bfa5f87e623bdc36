#include "tests/support/dovecot_server.h"

#include "tests/support/loopback.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <pwd.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace test_support {

namespace {

const char* const kDovecot = "/usr/sbin/dovecot";

// Maildir keeps lines with LF only; the server adds the CR on the wire.
std::string withLineFeeds(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        out += text[i];
    }
    return out;
}

}  // namespace

bool DovecotServer::available() { return ::access(kDovecot, X_OK) == 0; }

DovecotServer::DovecotServer(std::string user, std::string password)
    : user_(std::move(user)), password_(std::move(password))
{
    if (::geteuid() == 0) {
        const passwd* mail = ::getpwnam("mail");
        if (mail == nullptr)
            throw std::runtime_error("Dovecot test server: no \"mail\" user");
        uid_ = mail->pw_uid;
        gid_ = mail->pw_gid;
        serviceUser_ = "dovecot";
    } else {
        uid_ = ::geteuid();
        gid_ = ::getegid();
        const passwd* self = ::getpwuid(uid_);
        serviceUser_ = self ? self->pw_name : "";
    }
    // The login process runs as another user: the folder must be readable.
    ::chmod(base_.path().c_str(), 0755);
    fs::create_directories(base_.file("run"));
    ::chmod(base_.file("run").c_str(), 0755);
    fs::create_directories(base_.file("state"));
    std::string home = base_.file("home");
    maildir_ = home + "/Maildir";
    for (const char* sub : {"new", "cur", "tmp"})
        fs::create_directories(maildir_ + "/" + sub);
    for (const std::string& path : {home, maildir_, maildir_ + "/new", maildir_ + "/cur", maildir_ + "/tmp"})
        giveToMailUser(path);
    writeFile(base_.file("passwd"), user_ + ":{PLAIN}" + password_ + ":" + std::to_string(uid_) + ":" +
                                        std::to_string(gid_) + "::" + home + "::\n");
    ::chmod(base_.file("passwd").c_str(), 0644);

    for (int attempt = 0; attempt < 5; ++attempt)
        if (startOn(freeLoopbackPort()))
            return;
    throw std::runtime_error("the Dovecot test server did not start:\n" + log());
}

DovecotServer::~DovecotServer() { process_.reset(); }

void DovecotServer::giveToMailUser(const std::string& path) const
{
    if (::geteuid() == 0 && ::chown(path.c_str(), uid_, gid_) != 0)
        throw std::runtime_error("Dovecot test server: cannot chown " + path);
}

void DovecotServer::writeConfig()
{
    std::string text;
    text += "base_dir = " + base_.file("run") + "\n";
    text += "state_dir = " + base_.file("state") + "\n";
    text += "log_path = " + base_.file("log") + "\n";
    text += "protocols = pop3\n";
    text += "listen = 127.0.0.1\n";
    text += "ssl = no\n";
    text += "disable_plaintext_auth = no\n";
    text += "auth_mechanisms = plain\n";
    text += "first_valid_uid = " + std::to_string(uid_) + "\n";
    text += "last_valid_uid = " + std::to_string(uid_) + "\n";
    text += "first_valid_gid = " + std::to_string(gid_) + "\n";
    if (::geteuid() != 0) {
        text += "default_internal_user = " + serviceUser_ + "\n";
        text += "default_login_user = " + serviceUser_ + "\n";
    }
    text += "mail_location = maildir:~/Maildir:INDEX=MEMORY\n";
    text += "mail_fsync = never\n";
    text += "pop3_uidl_format = %08Xu%08Xv\n";
    text += "passdb {\n  driver = passwd-file\n  args = scheme=PLAIN username_format=%u " + base_.file("passwd") +
            "\n}\n";
    text += "userdb {\n  driver = passwd-file\n  args = username_format=%u " + base_.file("passwd") + "\n}\n";
    text += "service pop3-login {\n  inet_listener pop3 {\n    address = 127.0.0.1\n    port = " +
            std::to_string(port_) + "\n  }\n}\n";
    text += "service anvil {\n  chroot =\n}\n";
    writeFile(base_.file("dovecot.conf"), text);
}

bool DovecotServer::startOn(std::uint16_t port)
{
    port_ = port;
    writeConfig();
    process_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{kDovecot, "-F", "-c", base_.file("dovecot.conf")}, base_.file("stderr"));
    for (int i = 0; i < 1000; ++i) {
        if (loopbackPortOpen(port_))
            return true;
        if (!process_->running())
            break;
        ::poll(nullptr, 0, 10);
    }
    process_.reset();
    return false;
}

void DovecotServer::addMessage(const std::string& text)
{
    // Named by a rising time stamp, so that the server numbers the messages
    // in the order they were added.
    ++delivered_;
    std::string name = std::to_string(1000000000u + delivered_) + ".M" + std::to_string(delivered_) + ".tarsel";
    std::string temporary = maildir_ + "/tmp/" + name;
    writeFile(temporary, withLineFeeds(text));
    giveToMailUser(temporary);
    fs::rename(temporary, maildir_ + "/new/" + name);
}

std::vector<std::string> DovecotServer::messageFiles() const
{
    std::vector<std::pair<std::string, std::string>> found;  // (name, path)
    std::error_code ec;
    for (const char* sub : {"/new", "/cur"})
        for (const auto& item : fs::directory_iterator(maildir_ + sub, ec))
            found.emplace_back(item.path().filename().string(), item.path().string());
    std::sort(found.begin(), found.end());
    std::vector<std::string> paths;
    for (auto& entry : found)
        paths.push_back(entry.second);
    return paths;
}

std::size_t DovecotServer::messageCount() const { return messageFiles().size(); }

std::vector<std::string> DovecotServer::messages() const
{
    std::vector<std::string> texts;
    for (const std::string& path : messageFiles())
        texts.push_back(readFile(path));
    return texts;
}

void DovecotServer::clearMailbox()
{
    for (const std::string& path : messageFiles()) {
        std::error_code ec;
        fs::remove(path, ec);
    }
}

std::string DovecotServer::log() const
{
    return readFile(base_.file("log")) + readFile(base_.file("stderr"));
}

}  // namespace test_support
