#pragma once
// Table, memo and index files are found without regard to the case of
// their names, so a data folder copied from a case-blind system opens.

#include <optional>
#include <string>

namespace xbase {

// The existing file whose path equals path letter for letter ignoring case
// (the exact spelling wins); nullopt when there is none.
std::optional<std::string> findIgnoringCase(const std::string& path);

// path with its extension (after the last '.' of the file name) replaced.
std::string withExtension(const std::string& path, const std::string& extension);

// A file beside path with another extension, in the case of path's own
// extension (NODES.DBF -> NODES.CDX, nodes.dbf -> nodes.cdx).
std::string siblingPath(const std::string& path, const std::string& lowerExtension);

// The file name without folder and extension.
std::string baseNameOf(const std::string& path);

std::string upperCase(std::string s);
bool equalsIgnoringCase(const std::string& a, const std::string& b);

}  // namespace xbase
