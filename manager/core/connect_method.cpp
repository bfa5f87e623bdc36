#include "manager/core/connect_method.h"

#include "mail/text_case.h"

namespace manager {

std::optional<ConnectMethod> ParseConnectMethod(const std::string& stored)
{
    const std::string upper = mail::upperCase(stored);
    if (upper == "LAN")
        return ConnectMethod::Lan;
    if (upper == "MANUAL")
        return ConnectMethod::Manual;
    if (upper == "RAS")
        return ConnectMethod::Dialup;
    return std::nullopt;
}

const char* ConnectMethodText(ConnectMethod method)
{
    switch (method) {
    case ConnectMethod::Manual:
        return "MANUAL";
    case ConnectMethod::Dialup:
        return "RAS";
    case ConnectMethod::Lan:
        break;
    }
    return "LAN";
}

}  // namespace manager
