#pragma once
// What the mail reader takes from the MIME fields of a message or a part:
// the type token, parameters and the transfer encoding.

#include <string>
#include <string_view>

#include "mail/attachments.h"

namespace mail {

// The type up to the first blank or ";", trimmed ("text/plain").
std::string ContentTypeToken(std::string_view value);

// The value of a parameter ("name", "boundary"...) in a field value: quoted
// values lose their quotes, others run to the first blank or ";"; values
// with a charset or in sections (RFC 2231) come joined and as UTF-8. A value
// that does not follow the syntax is looked for as the name followed by "=";
// "" if absent.
std::string GetHeaderParam(std::string_view param, std::string_view value);

// A file name parameter as UTF-8 text, in whatever form senders write it:
// RFC 2231, encoded words inside the quotes, or raw 8-bit bytes.
std::string fileNameParam(std::string_view param, std::string_view value);

struct TransferEncoding {
    AttEncoding kind = AttEncoding::None;
    bool uu = false;  // base64 kind whose lines are UU ("x-uue...")
};

// From a Content-Transfer-Encoding value.
TransferEncoding transferEncodingOf(std::string_view value);

}  // namespace mail
