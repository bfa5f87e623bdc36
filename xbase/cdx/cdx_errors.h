#pragma once
// Error codes the compound index raises, and short helpers to raise them.

#include <string>

#include "xbase/error.h"

namespace xbase::cdx {

enum ErrorCode { kIoError = 1, kCorrupt = 2, kBadArgument = 3 };

[[noreturn]] void throwIo(const std::string& path, const std::string& what);   // adds strerror(errno)
[[noreturn]] void throwCorrupt(const std::string& path, const std::string& what);
[[noreturn]] void throwBadArgument(const std::string& what);

}  // namespace xbase::cdx
