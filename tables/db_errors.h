#pragma once
// Exceptions of the table layer: EDatabaseError for misuse of a data set
// (wrong state, unknown field), EDBEngineError for a failed cursor operation
// (carries its result code), EConvertError for a value that does not convert.

#include <stdexcept>
#include <string>

#include "tables/result_codes.h"

class EDatabaseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class EDBEngineError : public EDatabaseError {
public:
    explicit EDBEngineError(tables::DBIResult code);
    EDBEngineError(tables::DBIResult code, const std::string& text)
        : EDatabaseError(text), code_(code) {}
    tables::DBIResult ErrorCode() const noexcept { return code_; }

private:
    tables::DBIResult code_;
};

class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
