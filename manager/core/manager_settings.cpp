#include "manager/core/manager_settings.h"

#include "mail/net/tag_ras.h"

namespace manager {

StartupSettings ReadStartupSettings(const store::Settings& settings, TagRas& ras)
{
    const std::string service = settings.RasService();
    if (service != "None")
        ras.SetService(service);
    StartupSettings result;
    result.folders = settings.ReadFolders(&result.notices);
    return result;
}

void WriteShutdownSettings(store::Settings& settings, const store::FolderSettings& folders)
{
    settings.WriteFoldersAtExit(folders);
}

}  // namespace manager
