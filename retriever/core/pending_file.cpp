#include "retriever/core/pending_file.h"

#include "platform/files.h"
#include "platform/sibling_temp.h"

namespace retriever {

bool WriteNewFileAtomic(const std::string& path, std::string_view bytes)
{
    platform::SiblingTempFile temp(path);
    temp.write(bytes);
    temp.closeAndKeep();
    bool moved = false;
    try {
        moved = platform::RenameNoReplace(temp.path(), path);
    } catch (...) {
        platform::DeleteFile(temp.path());
        throw;
    }
    if (!moved)
        platform::DeleteFile(temp.path());
    return moved;
}

}  // namespace retriever
