#pragma once
// Splitting a server text "host" or "host:port".

#include <string>
#include <string_view>

namespace mail::net {

// The host: the text up to the first ":".
std::string serverHost(std::string_view server);

enum class PortText {
    None,        // no ":", or no number after it, or 0: look the service up
    Valid,       // a number from 1 to 65535
    OutOfRange,  // a number outside the port range
};

// Reads the number after the first ":" into port when it is Valid.
PortText serverPort(std::string_view server, int& port);

}  // namespace mail::net
