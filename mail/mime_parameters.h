#pragma once
// Parameters of MIME fields ("name=value" after the type or disposition),
// with the forms of RFC 2231: a value with its charset ("name*=utf-8''%C3%BC")
// and a value in numbered sections ("name*0=...; name*1*=...").

#include <optional>
#include <string>
#include <string_view>

namespace mail {

struct MimeParameterValue {
    std::string text;
    bool converted = false;  // an RFC 2231 value, decoded and made UTF-8
};

// The value of the named parameter (any case); a value with a charset or in
// sections wins over a plain one of the same name. Quoted values lose their
// quotes and escapes. Nothing when the field has no such parameter.
std::optional<MimeParameterValue> findMimeParameter(std::string_view name, std::string_view fieldValue);

// True when the field holds at least one parameter in the proper syntax.
bool hasMimeParameters(std::string_view fieldValue);

}  // namespace mail
