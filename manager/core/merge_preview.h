#pragma once
// The composer's merge preview: the template passes once through the mail
// file writer and reader, its codes are expanded against the source
// message, and the result is written to the preview file for the desktop's
// mail program to show.

#include <string>

#include "mail/message.h"

namespace manager {

// The preview file: the program folder's "Temp.eml".
std::string MergePreviewFile();

// `message` holds the built template; it ends up expanded, with the
// recipient a "To:" REPLYFIELD code gave. Throws the mail errors of the
// writer and the reader.
void WriteMergePreview(TmsMessage& message, const TmsMessage& source, const std::string& previewFile);

}  // namespace manager
