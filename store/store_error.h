#pragma once
// Errors of the shared files: a name that cannot become a file, a data
// folder that cannot be made, a settings or agent file that cannot be used.

#include <stdexcept>
#include <string>

namespace store {

class StoreError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace store
