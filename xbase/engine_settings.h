#pragma once
// The program-wide settings of the engine (the sx_Set... calls).

#include <cstdint>
#include <string>

#include "xbase/expr/expression.h"

namespace xbase {

struct EngineSettings {
    bool deleted = false;       // hide records marked deleted
    bool exact = false;
    bool softSeek = false;
    bool century = false;
    int epoch = 1900;
    int dateFormat = 0;         // SX_DATE_* code; 99 counts as american
    int lockTimeoutSeconds = 5;
    int memoBlockSize = 64;
    int errorLevel = 1;
    int blobType = 0;           // 0 by content, 1 text, 2 binary

    EvalSettings evalSettings() const;
    // The date picture for the format and century, e.g. "mm/dd/yyyy".
    std::string datePicture() const;
    int lockTimeoutMs() const { return lockTimeoutSeconds <= 0 ? 0 : lockTimeoutSeconds * 1000; }
};

// The one settings object of the program.
EngineSettings& settings();

// Counts the engine's calls. What one call has checked against a change
// counter (the tag list of an index) need not be checked again in the same
// call; the next call checks afresh.
uint64_t callSerial();
void beginCall();

}  // namespace xbase
