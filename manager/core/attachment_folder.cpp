#include "manager/core/attachment_folder.h"

#include <stdlib.h>

#include <filesystem>
#include <system_error>

#include "mail/mail_error.h"
#include "mail/message.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace manager {

AttachmentFolder::~AttachmentFolder()
{
    if (path_.empty())
        return;
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void AttachmentFolder::create()
{
    const std::string base = platform::CacheDir() + "attachments/";
    if (!platform::ForceDirectories(base))
        throw mail::EFCreateError("Cannot create folder \"" + base + "\"");
    std::string pattern = base + "msgXXXXXX";
    if (mkdtemp(pattern.data()) == nullptr)
        throw mail::EFCreateError("Cannot create folder \"" + base + "\"");
    path_ = pattern + "/";
}

std::string AttachmentFolder::Save(const TmsCustomMessage& message, int index)
{
    if (path_.empty())
        create();
    const std::string folder = path_ + std::to_string(next_++) + "/";
    if (!platform::ForceDirectories(folder))
        throw mail::EFCreateError("Cannot create folder \"" + folder + "\"");
    return message.SaveAttachment(index, folder);
}

}  // namespace manager
