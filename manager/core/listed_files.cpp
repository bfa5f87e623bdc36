#include "manager/core/listed_files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <exception>

#include "manager/core/manager_error.h"
#include "platform/files.h"

namespace manager {

namespace {

bool endsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

std::vector<ListedFile> ListFolder(const std::string& folder, const std::string& extension)
{
    std::vector<ListedFile> files;
    // Both patterns, so that a file named by its extension alone (hidden on
    // this platform) is listed too, with an empty caption.
    for (const std::string& pattern : {"*" + extension, extension}) {
        for (const std::string& name : platform::FindFiles(folder, pattern)) {
            // The pattern ignores case; the file the commands build from a
            // caption has the extension as written.
            if (!endsWith(name, extension))
                continue;
            if (std::none_of(files.begin(), files.end(), [&](const ListedFile& f) { return f.fileName == name; }))
                files.push_back({name, name.substr(0, name.size() - extension.size())});
        }
    }
    std::sort(files.begin(), files.end(),
              [](const ListedFile& a, const ListedFile& b) { return a.fileName < b.fileName; });
    return files;
}

void DeleteListedFile(const std::string& folder, const std::string& fileName)
{
    if (fileName.empty() || fileName.find('/') != std::string::npos)
        throw ManagerError("Invalid file name");
    const std::string path = folder + fileName;
    if (std::remove(path.c_str()) != 0 && errno != ENOENT)
        throw ManagerError("Unable to delete " + path);
}

std::string TemplateNameProblem(const std::string& name)
{
    if (name.empty())
        return "Please enter a name for the template.";
    if (name == "." || name == "..")
        return "\"" + name + "\" cannot be used as a template name.";
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '/' || u < 0x20 || u == 0x7F)
            return "A template name cannot contain \"/\" or control characters.";
    }
    return {};
}

std::string RenameListedFile(const std::string& folder, const std::string& fileName, const std::string& newName,
                             const std::string& extension, const std::string& refusal)
{
    const std::string target = newName + extension;
    if (target == fileName)
        return fileName;
    if (newName.find('/') != std::string::npos || fileName.find('/') != std::string::npos)
        throw ManagerError(refusal);
    // Names are told apart without regard to case: a file of the new name
    // in another case is another agent or template, not this one.
    const auto existing = platform::FindIgnoreCase(folder + target);
    if (existing && *existing != folder + fileName)
        throw ManagerError(refusal);
    try {
        if (!platform::RenameNoReplace(folder + fileName, folder + target))
            throw ManagerError(refusal);
    } catch (const ManagerError&) {
        throw;
    } catch (const std::exception&) {
        throw ManagerError(refusal);
    }
    return target;
}

}  // namespace manager
