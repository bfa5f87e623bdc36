#pragma once
// Exceptions of the mail library and the system's own texts they carry.

#include <stdexcept>
#include <string>
#include <string_view>

namespace mail {

// Base of every exception the mail library raises.
class EMailError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file could not be read or written, or coded data held an invalid character.
class EInOutError : public EMailError {
public:
    using EMailError::EMailError;
};

// A file could not be created.
class EFCreateError : public EInOutError {
public:
    using EInOutError::EInOutError;
};

// Text of the base64 and UU decoders' error.
inline constexpr std::string_view kInvalidCharacter = "Invalid Character";

// Resource ids of the message texts.
inline constexpr int kSenderRequired = 57100;
inline constexpr int kRecipientRequired = 57101;
inline constexpr int kMailMessageRequired = 57102;
inline constexpr int kUserNameRequired = 57103;
inline constexpr int kPasswordRequired = 57104;
inline constexpr int kIdsDifferent = 57105;
inline constexpr int kMultipartPreamble = 57106;
inline constexpr int kUnableToRetrieveHeaders = 57107;
inline constexpr int kClosingBoundaryMissing = 57109;
inline constexpr int kBoundaryMissing = 57110;
inline constexpr int kAttachmentDecodeError = 57111;
inline constexpr int kNewsgroupRequired = 57115;
inline constexpr int kSubjectRequired = 57116;

// The text of a resource id of 57100..57118; empty for an id without text.
std::string_view resourceText(int id);

}  // namespace mail

// A message fails validation (sender or recipients missing).
class EMessageError : public mail::EMailError {
public:
    explicit EMessageError(int id);
    explicit EMessageError(const std::string& message, int id = 0);
    int Id() const { return id_; }

private:
    int id_;
};

// The mail reader met a structure it cannot follow.
class EMessageParserError : public mail::EMailError {
public:
    explicit EMessageParserError(int id);
    explicit EMessageParserError(const std::string& message, int id = 0);
    int Id() const { return id_; }

private:
    int id_;
};
