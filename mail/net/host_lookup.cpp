#include "mail/net/host_lookup.h"

#include "mail/net/socket_error_codes.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>

namespace mail::net {

std::shared_ptr<HostLookup> HostLookup::start(const std::string& host)
{
    auto lookup = std::make_shared<HostLookup>();
    // The thread holds its own reference: the state outlives an abandoned wait.
    std::thread([lookup, host] { lookup->run(host); }).detach();
    return lookup;
}

void HostLookup::run(const std::string& host)
{
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* answer = nullptr;
    int rc = ::getaddrinfo(host.c_str(), nullptr, &hints, &answer);
    int saved = errno;
    std::uint32_t found = 0;
    if (rc == 0) {
        for (addrinfo* it = answer; it != nullptr; it = it->ai_next) {
            if (it->ai_family == AF_INET && it->ai_addr != nullptr) {
                found = reinterpret_cast<sockaddr_in*>(it->ai_addr)->sin_addr.s_addr;
                break;
            }
        }
        ::freeaddrinfo(answer);
    }
    {
        std::lock_guard lock(mutex_);
        error_ = lookupErrorFromGai(rc, saved);
        address_ = found;
    }
    done_.store(true, std::memory_order_release);
}

int HostLookup::error() const
{
    std::lock_guard lock(mutex_);
    return error_;
}

std::uint32_t HostLookup::address() const
{
    std::lock_guard lock(mutex_);
    return address_;
}

bool parseDottedAddress(const std::string& text, std::uint32_t& address)
{
    in_addr parsed{};
    if (text.empty() || ::inet_aton(text.c_str(), &parsed) == 0)
        return false;
    address = parsed.s_addr;
    return true;
}

std::string dottedText(std::uint32_t address)
{
    char buffer[INET_ADDRSTRLEN] = {};
    in_addr value{};
    value.s_addr = address;
    ::inet_ntop(AF_INET, &value, buffer, sizeof buffer);
    return buffer;
}

}  // namespace mail::net
