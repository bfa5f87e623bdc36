#pragma once
// The agents and templates tabs list the files of a folder by extension;
// what they delete or rename is always the listed file itself, so a file
// made by hand whose name the dialogs would refuse can still be removed.

#include <string>
#include <vector>

namespace manager {

struct ListedFile {
    std::string fileName;  // as found in the folder, extension included
    std::string caption;   // the file name without its extension
};

inline constexpr const char* kAgentExtension = ".agent";
inline constexpr const char* kTemplateExtension = ".eml";

// The regular files of `folder` ending in `extension`, sorted by name.
std::vector<ListedFile> ListFolder(const std::string& folder, const std::string& extension);

// Removes folder + fileName; a file already gone is no error. Throws
// ManagerError when the file stays.
void DeleteListedFile(const std::string& folder, const std::string& fileName);

// Why a template name cannot become a template file's name, empty when it can.
std::string TemplateNameProblem(const std::string& name);

// Renames folder + fileName to folder + newName + extension, never over an
// existing file, also one whose name differs only in case. Returns the new
// file name. Throws ManagerError with `refusal` when the target exists or
// the move fails.
std::string RenameListedFile(const std::string& folder, const std::string& fileName, const std::string& newName,
                             const std::string& extension, const std::string& refusal);

}  // namespace manager
