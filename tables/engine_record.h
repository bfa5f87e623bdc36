#pragma once
// Swapping a caller's record into the engine's record buffer of the current
// area, so that engine getters, expressions and blob calls see it. The
// engine's own record is parked and put back when the scope ends, whatever
// happens in between.

#include <string>

namespace tables {

// The engine's record buffer of the current area (sx_RecSize bytes).
char* engineRecordBuffer();

class EngineRecordSwap {
public:
    explicit EngineRecordSwap(const std::string& callerRecord);
    ~EngineRecordSwap();
    EngineRecordSwap(const EngineRecordSwap&) = delete;
    EngineRecordSwap& operator=(const EngineRecordSwap&) = delete;

    // The engine's buffer as it stands now (e.g. after a blob write set the
    // field's reference in it).
    std::string current() const;

private:
    std::string parked_;
    char* buffer_ = nullptr;
};

}  // namespace tables
