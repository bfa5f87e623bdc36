#pragma once
// Errors of the manager's own commands (a table that is not open, say); the
// main window's exception handler shows their text.

#include <stdexcept>

namespace manager {

class ManagerError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace manager
