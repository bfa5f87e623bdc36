#pragma once
// Exceptions of the table layer: EDatabaseError for misuse of a data set
// (wrong state, unknown field), EDBEngineError for a failed cursor operation
// (carries its result code and, when the engine named it, the file the
// failure is about), EConvertError for a value that does not convert.

#include <stdexcept>
#include <string>

#include "tables/result_codes.h"

namespace tables {
struct EngineFault;
}

class EDatabaseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class EDBEngineError : public EDatabaseError {
public:
    // The code's text, followed by " -- " and the file, its folder and the
    // reason when the engine said why the operation behind the code failed.
    explicit EDBEngineError(tables::DBIResult code);
    EDBEngineError(tables::DBIResult code, const std::string& text)
        : EDatabaseError(text), code_(code) {}
    tables::DBIResult ErrorCode() const noexcept { return code_; }
    // The file the text names; empty when it names none.
    const std::string& FilePath() const noexcept { return path_; }

private:
    EDBEngineError(tables::DBIResult code, const tables::EngineFault& fault);

    tables::DBIResult code_;
    std::string path_;
};

class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
