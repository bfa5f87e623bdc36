#include "mail/boundary.h"

#include <chrono>
#include <mutex>
#include <random>

#include "platform/event_pump.h"

namespace mail {

namespace {

std::mt19937& generator()
{
    static std::mt19937 engine = [] {
        std::random_device device;
        const auto now = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
        std::seed_seq seed{device(), device(), static_cast<unsigned>(now), static_cast<unsigned>(now >> 32)};
        return std::mt19937(seed);
    }();
    return engine;
}

std::mutex generatorMutex;

}  // namespace

std::string drawBoundary(std::string_view differentFrom)
{
    platform::processPendingEvents();
    std::string boundary(8, '0');
    std::lock_guard lock(generatorMutex);
    std::uniform_int_distribution<int> digit(0, 8);
    do {
        for (char& c : boundary)
            c = static_cast<char>('0' + digit(generator()));
    } while (boundary == differentFrom);
    return boundary;
}

}  // namespace mail
