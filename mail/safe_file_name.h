#pragma once
// Attachment names come from mail and end up as file names: they lose
// folder separators and control characters before they reach the disk.

#include <string>
#include <string_view>

namespace mail {

// The name without "/", "\" and control characters; empty when nothing
// usable is left ("", "." and "..").
std::string safeAttachmentName(std::string_view name);

}  // namespace mail
