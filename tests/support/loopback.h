#pragma once
// Loopback ports for tests.

#include <cstdint>
#include <string>

namespace test_support {

// A port on 127.0.0.1 that was free a moment ago (bound to port 0, closed).
std::uint16_t freeLoopbackPort();

// "127.0.0.1:<port>" where nothing listens: connecting is refused.
std::string refusedLoopbackAddress();

// Whether something accepts connections on 127.0.0.1:port.
bool loopbackPortOpen(std::uint16_t port);

}  // namespace test_support
