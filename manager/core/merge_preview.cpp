#include "manager/core/merge_preview.h"

#include "platform/files.h"
#include "platform/paths.h"

namespace manager {

namespace {

merge::MergeLog& previewLog()
{
    static merge::MergeLog log;
    return log;
}

}  // namespace

void SetMergePreviewLog(merge::MergeLog log) { previewLog() = std::move(log); }

std::string MergePreviewFile()
{
    platform::ForceDirectories(platform::ProgramDir());
    return platform::ProgramDir() + "Temp.eml";
}

void WriteMergePreview(TmsMessage& message, const TmsMessage& source, const std::string& previewFile)
{
    message.SaveToFile(previewFile);
    message.Clear();
    message.LoadFromFile(previewFile);
    std::string to;
    ExpandMergeCodes(message, source, to, previewLog());
    if (!to.empty()) {
        message.Recipients().Clear();
        message.Recipients().AddAddress(to, "");
    }
    message.SaveToFile(previewFile);
}

}  // namespace manager
