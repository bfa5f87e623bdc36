#include "manager/core/message_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include "manager/core/manager_error.h"

namespace manager {

bool IsPlainFileName(const std::string& name)
{
    if (name.empty() || name == "." || name == "..")
        return false;
    return name.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}

std::string MessageFilePath(const std::string& messagesFolder, const std::string& accountId, const char* folder,
                            const std::string& fileName)
{
    if (!IsPlainFileName(fileName))
        throw ManagerError("Not a message file name: " + fileName);
    if (!IsPlainFileName(accountId))
        throw ManagerError("Not an account identifier: " + accountId);
    std::string base = messagesFolder;
    if (!base.empty() && base.back() != '/')
        base += '/';
    return base + accountId + "/" + folder + "/" + fileName;
}

bool DeleteRegularFile(const std::string& path)
{
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    return unlink(path.c_str()) == 0;
}

}  // namespace manager
