#pragma once
// What the composer writes into its message when it saves or previews: the
// window's sender, subject, body and attachments, and of the message as it
// was opened only what the window cannot show but the template needs: its
// lines holding merge codes, and its sender when the opener gave none (an
// outbox message keeps all it had).

#include <string>
#include <vector>

#include "mail/message.h"

namespace manager {

struct ComposerAttachment {
    std::string name;  // as listed; the name the attachment travels under
    std::string path;  // the file read when the message is built
};

struct ComposerDraft {
    std::string senderName;
    std::string senderAddress;
    std::string subject;
    std::vector<std::string> body;
    std::vector<ComposerAttachment> attachments;
    // An outbox or sent message rather than a template: its recipients,
    // copies and other fields are the mail's own and stay.
    bool mailToSend = false;
};

// One header line of text: CR and LF become blanks, so a typed line break
// can never start a header of its own.
std::string OneHeaderLine(const std::string& text);

// An attachment's name as it can stand quoted in a header: one line, its
// double quotes turned into single ones.
std::string AttachmentHeaderName(const std::string& name);

// Rebuilds `message` from the draft and from `loaded` (the message as it
// was opened; an empty one for a new template): no recipients, copies or
// other fields of `loaded` but those holding merge codes, unless the draft
// is mail to send. Every attachment file is read now: one that can no
// longer be read throws mail::EInOutError naming it, and the message is
// left as it was.
void PopulateTMessageObject(TmsMessage& message, const ComposerDraft& draft, const TmsMessage& loaded);

}  // namespace manager
