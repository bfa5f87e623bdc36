#pragma once
// What stat tells of a file's contents: a file written, replaced or touched
// since shows another stamp. The pass keeps an agent file or a template it
// has read for as long as the file shows the same stamp.

#include <optional>
#include <string>

namespace agents {

struct FileStamp {
    unsigned long long device = 0, inode = 0;
    long long size = 0;
    long long modifiedSeconds = 0, modifiedNanoseconds = 0;
    long long changedSeconds = 0, changedNanoseconds = 0;

    bool operator==(const FileStamp&) const = default;
};

// The stamp of a regular file; none for a folder or a missing file.
std::optional<FileStamp> StampOf(const std::string& path);

// Whether the file was last written long enough ago that any later change
// must show a later time in its stamp (file times move in coarse steps: a
// file changed twice within one step can keep its stamp). Only a settled
// stamp may stand for what was read.
bool IsSettled(const FileStamp& stamp);

}  // namespace agents
