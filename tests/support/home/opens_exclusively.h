#pragma once
// Whether another program could now open a table of a data folder for itself
// alone: the check that a program has let go of (or still holds) its files.

#include <string>

namespace test_support {

bool OpensExclusively(const std::string& folder, const std::string& file);

}  // namespace test_support
