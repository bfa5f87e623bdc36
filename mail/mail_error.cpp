#include "mail/mail_error.h"

namespace mail {

std::string_view resourceText(int id)
{
    switch (id) {
    case kSenderRequired: return "The address of sender is required";
    case kRecipientRequired: return "At least one Recipient, CC or BCC must be entered";
    case kMailMessageRequired: return "MailMessage property must be assigned";
    case kUserNameRequired: return "UserName property is required";
    case kPasswordRequired: return "Password property is required";
    case kIdsDifferent: return "IDs are different";
    case kMultipartPreamble: return "This is a multipart message in MIME format";
    case kUnableToRetrieveHeaders: return "Unable to retrieve headers";
    case kClosingBoundaryMissing: return "Cannot find closing boundary";
    case kBoundaryMissing: return "Cannot find boundary";
    case kAttachmentDecodeError: return "Error decoding the attachment";
    case kNewsgroupRequired: return "Newsgroup header is required";
    case kSubjectRequired: return "Subject header is required";
    default: return {};
    }
}

}  // namespace mail

EMessageError::EMessageError(int id)
    : mail::EMailError(std::string(mail::resourceText(id))), id_(id)
{
}

EMessageError::EMessageError(const std::string& message, int id)
    : mail::EMailError(message), id_(id)
{
}

EMessageParserError::EMessageParserError(int id)
    : mail::EMailError(std::string(mail::resourceText(id))), id_(id)
{
}

EMessageParserError::EMessageParserError(const std::string& message, int id)
    : mail::EMailError(message), id_(id)
{
}
