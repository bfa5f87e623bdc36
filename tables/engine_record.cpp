#include "tables/engine_record.h"

#include <algorithm>
#include <cstring>

#include "xbase/sx.h"

namespace tables {

char* engineRecordBuffer() {
    return reinterpret_cast<char*>(sx_SysProp(SX_SP_RECORD_BUFFER, 0));
}

EngineRecordSwap::EngineRecordSwap(const std::string& callerRecord) : buffer_(engineRecordBuffer()) {
    if (!buffer_) return;
    const size_t size = static_cast<size_t>(std::max(sx_RecSize(), 0));
    parked_.assign(buffer_, size);
    std::memcpy(buffer_, callerRecord.data(), std::min(size, callerRecord.size()));
}

EngineRecordSwap::~EngineRecordSwap() {
    if (buffer_) std::memcpy(buffer_, parked_.data(), parked_.size());
}

std::string EngineRecordSwap::current() const {
    return buffer_ ? std::string(buffer_, parked_.size()) : std::string();
}

}  // namespace tables
