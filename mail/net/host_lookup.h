#pragma once
// Name lookup on a thread of its own, so that the waiting caller can keep
// the event pump turning. The result lives in shared state: a caller that
// gives up (cancel, time-out) simply drops its reference and the thread
// finishes into state nobody reads.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace mail::net {

class HostLookup {
public:
    // Starts looking up the IPv4 address of the host; throws std::system_error
    // when no thread can be started.
    static std::shared_ptr<HostLookup> start(const std::string& host);

    bool done() const { return done_.load(std::memory_order_acquire); }
    // After done(): a host-lookup error number (0 = found) and the first
    // IPv4 address in network order (0 when none came back).
    int error() const;
    std::uint32_t address() const;

private:
    void run(const std::string& host);

    mutable std::mutex mutex_;
    int error_ = 0;
    std::uint32_t address_ = 0;
    std::atomic<bool> done_{false};
};

// The address when the text is an IPv4 address in dotted form.
bool parseDottedAddress(const std::string& text, std::uint32_t& address);

// The dotted decimal text of an address in network order.
std::string dottedText(std::uint32_t address);

}  // namespace mail::net
