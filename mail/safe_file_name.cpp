#include "mail/safe_file_name.h"

#include "mail/text_limit.h"

namespace mail {

std::string safeAttachmentName(std::string_view name)
{
    std::string safe;
    safe.reserve(name.size());
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '/' || c == '\\' || byte < 32 || byte == 127)
            continue;
        safe += c;
    }
    if (safe == "." || safe == "..")
        return {};
    return limitText(safe);
}

}  // namespace mail
