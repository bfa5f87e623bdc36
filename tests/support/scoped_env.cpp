#include "tests/support/scoped_env.h"

#include <cstdlib>

namespace test_support {

namespace {

void put(const std::string& name, const std::optional<std::string>& value)
{
    if (value)
        ::setenv(name.c_str(), value->c_str(), 1);
    else
        ::unsetenv(name.c_str());
}

}  // namespace

ScopedEnv::ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name)
{
    if (const char* old = std::getenv(name))
        old_ = old;
    put(name_, value);
}

ScopedEnv::ScopedEnv(const char* name, const char* value)
    : ScopedEnv(name, value ? std::optional<std::string>(value) : std::nullopt)
{
}

ScopedEnv::~ScopedEnv() { put(name_, old_); }

}  // namespace test_support
