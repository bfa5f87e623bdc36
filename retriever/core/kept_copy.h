#pragma once
// Whether a mail file kept here is a copy of a message fetched again. A
// mail file holds the message as the mail writer writes it, so a copy is
// the same text but for the boundaries the writer draws afresh each time.
// Headers alone never tell: two different messages may share all of them.

#include <string>
#include <string_view>

namespace retriever {

// The text with each boundary that a Content-Type line declares replaced
// by its rank among them, there and in its delimiter lines.
std::string WithoutDrawnBoundaries(std::string_view text);

// Whether the file at `path` holds the message whose written text, without
// its drawn boundaries, is `written`. A file an earlier version wrote
// differently is read and written again before it is compared. False when
// the file cannot be read.
bool IsCopyOf(const std::string& path, const std::string& written);

}  // namespace retriever
