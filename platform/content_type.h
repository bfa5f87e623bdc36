#pragma once
// The content type of a file by its extension: a built-in table of common
// types first, then the system's mime.types list; "application/octet-stream"
// when neither knows the extension.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// `extension` with or without its dot (".txt", "txt"), any case.
std::string ContentTypeOfExtension(std::string_view extension);

// The type of a file name's extension ("report.TXT" -> "text/plain").
std::string ContentTypeOfFile(std::string_view fileName);

// The list read after the built-in table; "/etc/mime.types" unless changed.
// An empty path reads no list.
void SetMimeTypesPath(const std::string& path);

// Replaces the whole lookup (table and list) by `lookup`, which gets the
// extension without its dot in lower case; nullopt gives the fallback type.
// An empty function restores the standard lookup.
using ContentTypeLookup = std::function<std::optional<std::string>(const std::string&)>;
void SetContentTypeLookup(ContentTypeLookup lookup);

}  // namespace platform
