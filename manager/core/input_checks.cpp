#include "manager/core/input_checks.h"

#include "mail/net/server_address.h"
#include "mail/text_case.h"
#include "manager/core/manager_error.h"

namespace manager {

namespace {

constexpr const char* kBlanks = " \t";

bool wellFormedServer(const std::string& address)
{
    // The retriever's own reading of the text, stricter where it would
    // quietly fall back: "host:", "host:pop3" and "host:0" reach the
    // service's default port, not the one the user meant.
    const std::string host = mail::net::serverHost(address);
    if (host.empty() || host.find_first_of(kBlanks) != std::string::npos)
        return false;
    int port = 0;
    return address.find(':') == std::string::npos ||
           mail::net::serverPort(address, port) == mail::net::PortText::Valid;
}

}  // namespace

void CheckName(const std::string& what, const std::string& name)
{
    if (mail::trimmed(name).empty())
        throw ManagerError("The " + what + " cannot be blank.");
}

void CheckServerAddress(const std::string& what, const std::string& address)
{
    const std::string text = mail::trimmed(address);
    if (text.empty() || wellFormedServer(text))
        return;
    throw ManagerError("The " + what + " \"" + address +
                       "\" is not a host name, or a host name, a colon and a port from 1 to 65535.");
}

int ReadPollingInterval(const std::string& minutes)
{
    const std::string digits = mail::trimmed(minutes);
    int value = 0;
    const bool whole = !digits.empty() && digits.size() <= 4 &&
                       digits.find_first_not_of("0123456789") == std::string::npos;
    if (whole)
        value = std::stoi(digits);
    if (!whole || value < kFewestMinutes || value > kMostMinutes)
        throw ManagerError("The polling interval \"" + minutes + "\" is not a whole number of minutes from " +
                           std::to_string(kFewestMinutes) + " to " + std::to_string(kMostMinutes) + ".");
    return value;
}

}  // namespace manager
