#include "tests/support/scoped_asset.h"

#include <cstdio>
#include <unistd.h>

#include "platform/paths.h"
#include "tests/support/temp_dir.h"

namespace test_support {

ScopedAsset::ScopedAsset(const std::string& name, const std::string& bytes)
{
    const auto dot = name.rfind('.');
    const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
    const std::string extension = dot == std::string::npos ? "" : name.substr(dot);
    name_ = stem + "-" + std::to_string(::getpid()) + extension;
    path_ = platform::ExecutableDir() + name_;
    writeFile(path_, bytes);
}

ScopedAsset::~ScopedAsset() { std::remove(path_.c_str()); }

}  // namespace test_support
