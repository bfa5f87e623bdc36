#include "manager/core/field_limits.h"

#include "manager/core/manager_error.h"

namespace manager {

void CheckFits(const std::string& what, const std::string& text, int width)
{
    if (text.size() > static_cast<std::size_t>(width))
        throw ManagerError("The " + what + " is longer than " + std::to_string(width) + " characters.");
}

}  // namespace manager
