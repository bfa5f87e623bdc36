#include "tests/support/smtp_server.h"

#include "tests/support/loopback.h"

#include <algorithm>
#include <filesystem>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace fs = std::filesystem;

namespace test_support {

namespace {

const char* const kPython = "/usr/bin/python3";

std::string scriptPath(const char* name = "smtp_sink.py")
{
    return std::string(TARSEL_SOURCE_DIR_SUPPORT) + "/tests/support/" + name;
}

}  // namespace

bool SmtpServer::available()
{
    return ::access(kPython, X_OK) == 0 && fs::exists("/usr/lib/python3/dist-packages/aiosmtpd") &&
           fs::exists(scriptPath());
}

SmtpServer::SmtpServer(std::vector<std::string> refusedRecipients, Lines lines)
{
    const char* script = lines == Lines::AtMost998 ? "strict_smtp_sink.py" : "smtp_sink.py";
    std::vector<std::string> argv = {kPython, scriptPath(script), folder_.path()};
    argv.insert(argv.end(), refusedRecipients.begin(), refusedRecipients.end());
    process_ = std::make_unique<ChildProcess>(argv, folder_.file("server.log"));
    std::string line = process_->readLine(std::chrono::seconds(15));
    try {
        port_ = static_cast<std::uint16_t>(std::stoi(line));
    } catch (const std::exception&) {
        throw std::runtime_error("the SMTP test server did not start: " + readFile(folder_.file("server.log")));
    }
}

SmtpServer::~SmtpServer() { process_.reset(); }

std::vector<std::string> SmtpServer::messageFiles() const
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& item : fs::directory_iterator(folder_.path(), ec))
        if (item.path().extension() == ".eml")
            names.push_back(item.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<SmtpServer::Message> SmtpServer::messages() const
{
    std::vector<Message> result;
    for (const std::string& name : messageFiles()) {
        Message message;
        message.data = readFile(folder_.file(name + ".eml"));
        std::istringstream envelope(readFile(folder_.file(name + ".env")));
        std::getline(envelope, message.mailFrom);
        std::getline(envelope, message.helo);
        std::string recipient;
        while (std::getline(envelope, recipient))
            message.recipients.push_back(recipient);
        result.push_back(std::move(message));
    }
    return result;
}

std::size_t SmtpServer::messageCount() const { return messageFiles().size(); }

bool SmtpServer::waitForMessages(std::size_t count, std::chrono::milliseconds limit) const
{
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (messageCount() < count) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        ::poll(nullptr, 0, 10);
    }
    return true;
}

void SmtpServer::clear()
{
    for (const std::string& name : messageFiles()) {
        std::error_code ec;
        fs::remove(folder_.file(name + ".eml"), ec);
        fs::remove(folder_.file(name + ".env"), ec);
    }
}

}  // namespace test_support
