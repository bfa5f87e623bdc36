#pragma once
// Multipart boundaries: eight digits "0".."8" from one generator that is
// seeded once per program.

#include <string>
#include <string_view>

namespace mail {

// A fresh boundary, never equal to `differentFrom` (the enclosing one).
// Lets pending window messages run once.
std::string drawBoundary(std::string_view differentFrom = {});

}  // namespace mail
