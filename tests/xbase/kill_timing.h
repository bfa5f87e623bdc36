#pragma once
// Timing of the kill tests: a writer child reports each finished step down a
// pipe, and the parent kills it just after one of its page writes.

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>

namespace xbasetest {

// Returns when the file's modification time moves (at the first write of a
// clock tick), or after a while: the kill then falls just after a write.
inline void waitForAWrite(const std::string& path) {
    struct stat before {};
    ::stat(path.c_str(), &before);
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
    struct stat now {};
    while (std::chrono::steady_clock::now() < until) {
        if (::stat(path.c_str(), &now) == 0 &&
            (now.st_mtim.tv_sec != before.st_mtim.tv_sec || now.st_mtim.tv_nsec != before.st_mtim.tv_nsec))
            return;
    }
}

// The last count the killed child reported on `in`, or `since` when it
// reported none.
inline uint32_t lastReported(int in, uint32_t since = 0) {
    uint32_t done = since, value = 0;
    while (::read(in, &value, sizeof value) == sizeof value) done = value;
    return done;
}

}  // namespace xbasetest
