#pragma once
// Sets (or unsets) an environment variable for one test or fixture and puts
// the old value back when the object goes.

#include <optional>
#include <string>

namespace test_support {

class ScopedEnv {
public:
    // std::nullopt (or a null pointer) unsets the variable.
    ScopedEnv(const char* name, const std::optional<std::string>& value);
    ScopedEnv(const char* name, const char* value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

}  // namespace test_support
