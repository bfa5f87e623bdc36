#pragma once
// Byte-range locks on open file descriptions (OFD locks): every open of a
// file owns its locks, so two work areas of one process on the same table
// exclude each other just as two programs do, and a killed process loses
// its locks at once.

#include <cstdint>

namespace xbase {

// Lock regions of a table, placed far past any data so that they never
// touch the bytes other programs read.
namespace lock_region {
inline constexpr int64_t kBase = int64_t{1} << 40;
inline constexpr int64_t kOpen = kBase;            // shared opens read-lock it, exclusive opens write-lock it
inline constexpr int64_t kHeader = kBase + 1;      // appends and tag builds
inline constexpr int64_t kMemo = kBase + 2;        // on the memo file: block allocation
inline constexpr int64_t kRecord = kBase + 16;     // + record number
}  // namespace lock_region

// Takes a lock on [start, start+length), retrying until timeoutMs passes
// (0 = one try). Answers false when another holder kept it.
bool lockRange(int fd, int64_t start, int64_t length, bool exclusive, int timeoutMs);
void unlockRange(int fd, int64_t start, int64_t length);

// Holds a lock for a scope.
class RangeLock {
public:
    RangeLock() = default;
    RangeLock(int fd, int64_t start, int64_t length) : fd_(fd), start_(start), length_(length) {}
    RangeLock(RangeLock&& other) noexcept { *this = static_cast<RangeLock&&>(other); }
    RangeLock& operator=(RangeLock&& other) noexcept;
    RangeLock(const RangeLock&) = delete;
    RangeLock& operator=(const RangeLock&) = delete;
    ~RangeLock() { release(); }
    void release();
    bool held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
    int64_t start_ = 0;
    int64_t length_ = 0;
};

}  // namespace xbase
