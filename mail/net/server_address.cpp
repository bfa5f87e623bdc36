#include "mail/net/server_address.h"

namespace mail::net {

std::string serverHost(std::string_view server)
{
    return std::string(server.substr(0, server.find(':')));
}

PortText serverPort(std::string_view server, int& port)
{
    std::size_t colon = server.find(':');
    if (colon == std::string_view::npos)
        return PortText::None;
    std::string_view text = server.substr(colon + 1);
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return PortText::None;
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return PortText::None;
        if (value <= 65535)
            value = value * 10 + (c - '0');
    }
    if (value == 0)
        return PortText::None;
    if (negative || value > 65535)
        return PortText::OutOfRange;
    port = static_cast<int>(value);
    return PortText::Valid;
}

}  // namespace mail::net
