#pragma once
// The composer's merge preview: the template passes once through the mail
// file writer and reader, its codes are expanded against the source
// message, and the result is written to the preview file for the desktop's
// mail program to show.

#include <string>

#include "agents/merge/merge_codes.h"
#include "mail/message.h"

namespace manager {

// The preview file: the program folder's "Temp.eml".
std::string MergePreviewFile();

// Where every preview logs its expansion step by step: the main window
// hands its status log over here at start-up (the composers it opens do not
// know it). Empty: the steps are not logged.
void SetMergePreviewLog(merge::MergeLog log);

// `message` holds the built template; it ends up expanded, with the
// recipient a "To:" REPLYFIELD code gave, each step logged. Throws the mail
// errors of the writer and the reader.
void WriteMergePreview(TmsMessage& message, const TmsMessage& source, const std::string& previewFile);

}  // namespace manager
