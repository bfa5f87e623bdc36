#pragma once
// The rich-text file of a status log, newest line first and never trimmed.
// New lines are put on top without reading the older ones into memory: the
// file keeps the form the RTF writer gives it (one header, one paragraph per
// line), so the older paragraphs are copied through as bytes. A file in any
// other form (written by another program) is rewritten in that form once.

#include <cstddef>
#include <string>
#include <vector>

#include "platform/rtf_text.h"

namespace platform {

// Folds the lines of the journal at `journalPath` into the log file at
// `path` (newest on top), committed whole, then removes the journal. A fold
// cut short by a kill is safe to repeat: the file records which journal,
// and how much of it, it holds. A missing log file is created (empty when
// there is nothing to fold). Throws FileError.
void FoldJournalIntoLog(const std::string& path, const std::string& journalPath);

// The first (newest) `count` paragraphs of the log file; a missing file has
// none. Reads only as far into the file as those paragraphs reach.
std::vector<RichTextParagraph> ReadNewestParagraphs(const std::string& path, std::size_t count);

// Removes what a write of the log file killed half-way left beside it.
void RemoveStaleLogTemps(const std::string& path);

}  // namespace platform
