#pragma once
// The engine's one exception type. The code is the engine's error number;
// the sx_ calls turn exceptions into their failure answers.

#include <stdexcept>
#include <string>

namespace xbase {

class XbaseError : public std::runtime_error {
public:
    XbaseError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
    int code() const noexcept { return code_; }

private:
    int code_;
};

}  // namespace xbase
