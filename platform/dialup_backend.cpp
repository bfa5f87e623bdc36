#include "platform/dialup_backend.h"

#include "platform/dialup_pppd.h"

#include <mutex>

namespace platform {

namespace {
std::mutex backendMutex;
std::shared_ptr<DialupBackend> installedBackend;
}  // namespace

std::shared_ptr<DialupBackend> dialupBackend()
{
    std::lock_guard lock(backendMutex);
    if (!installedBackend)
        installedBackend = std::make_shared<PppdDialupBackend>();
    return installedBackend;
}

void setDialupBackend(std::shared_ptr<DialupBackend> backend)
{
    std::lock_guard lock(backendMutex);
    installedBackend = std::move(backend);
}

}  // namespace platform
