#pragma once
// The in-memory form of one mail message: sender, recipient lists, subject,
// raw header lines, body lines and attachments, and the rules that map
// header fields to these properties. Mail text is written by the message
// encoder and read by the message decoder; the message only hands over.
// Saving and loading let window messages run now and then: a handler that
// runs then must not change the message being saved or loaded.

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "mail/attachments.h"
#include "mail/headers.h"
#include "mail/mail_address.h"

enum TMsgEncoding { meMIME = 0, meUU = 1 };
enum TCharSet { csUSASCII = 0, csISO8859 = 1 };
enum TPriority { ptLow = 0, ptNormal = 1, ptHigh = 2 };

class TmsCustomMessage {
public:
    using Lines = std::vector<std::string>;

    TmsCustomMessage() = default;
    virtual ~TmsCustomMessage() = default;
    TmsCustomMessage(const TmsCustomMessage&) = delete;
    TmsCustomMessage& operator=(const TmsCustomMessage&) = delete;

    TmsAttList& Attachments() { return attachments_; }
    const TmsAttList& Attachments() const { return attachments_; }

    // The content type the message has now (see contentTypeRule); it is
    // also stored, so a later call starts from it.
    std::string ContentType();
    void SetContentType(std::string_view contentType);  // stored in lower case
    const std::string& StoredContentType() const { return contentType_; }

    TMsgEncoding Encoding() const { return encoding_; }
    void SetEncoding(TMsgEncoding encoding) { encoding_ = encoding; }

    TmsMailAddress& Sender() { return sender_; }
    const TmsMailAddress& Sender() const { return sender_; }

    const std::string& Subject() const { return subject_; }
    void SetSubject(std::string_view subject);  // cut at 255

    // Texts of the model are UTF-8 whatever charset they came in; the writer
    // labels non-ASCII text "utf-8". csISO8859 asks for quoted-printable.
    TCharSet CharSet() const { return charSet_; }
    void SetCharSet(TCharSet charSet) { charSet_ = charSet; }
    // The charset the text was declared in when it was read, other than
    // us-ascii and iso-8859-1 ("koi8-r", "windows-1252"...); empty when
    // CharSet says it. It tells where the text came from; it labels nothing.
    const std::string& DeclaredCharSet() const { return declaredCharSet_; }
    void SetDeclaredCharSet(std::string_view name);

    TmsHeaders& Headers() { return headers_; }
    const TmsHeaders& Headers() const { return headers_; }
    void SetHeaders(const TmsHeaders& headers) { headers_.Assign(headers); }

    Lines& Body() { return body_; }
    const Lines& Body() const { return body_; }
    void SetBody(const Lines& body) { body_ = body; }

    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }

    // Throws EMessageError when the message cannot be sent as it is.
    virtual void Validate();
    // Writes the mail text from the start of the stream.
    virtual void SaveToStream(std::ostream& stream) = 0;
    // Reads the whole stream (from its start when it can seek) into the
    // message, adding to what is there. Never throws on the content.
    virtual void LoadFromStream(std::istream& stream) = 0;
    virtual void Clear();
    // Takes sender, recipients, subject... from header lines and keeps a
    // copy of the lines. Throws on an address with "<" and no ">".
    virtual void ReadHeaders(const TmsHeaders& headers) = 0;
    // As ReadHeaders, but a malformed address is read as well as it goes.
    virtual void ReadHeadersTolerantly(const TmsHeaders& headers) = 0;
    virtual void Assign(const TmsCustomMessage& source);

    // The mail text as bytes, and back (LoadFromString adds like
    // LoadFromStream). The text is read in place: nothing may change it
    // before LoadFromString returns, window handlers that run meanwhile
    // included.
    std::string SaveToString();
    void LoadFromString(std::string_view text);

    // Throws mail::EFCreateError / mail::EInOutError on a file error.
    void SaveToFile(const std::string& path);
    void LoadFromFile(const std::string& path);  // Clear first
    // Writes attachment `index` into the folder under its file-name part,
    // made safe for the file system; returns the path written.
    std::string SaveAttachment(int index, const std::string& folder) const;

protected:
    // Reads the text into the message; the text stays unchanged meanwhile.
    virtual void loadFromText(std::string_view text) = 0;
    // Writes the mail text into the string, replacing what it holds.
    virtual void saveToText(std::string& text) = 0;

private:
    TmsAttList attachments_;
    std::string contentType_ = "text/plain";
    TMsgEncoding encoding_ = meMIME;
    TmsMailAddress sender_;
    std::string subject_;
    TCharSet charSet_ = csUSASCII;
    std::string declaredCharSet_;
    TmsHeaders headers_;
    Lines body_;
    int tag_ = 0;
};

class TmsMessage : public TmsCustomMessage {
public:
    TmsMessage() = default;

    TmsAddressList& Recipients() { return recipients_; }
    const TmsAddressList& Recipients() const { return recipients_; }
    TmsAddressList& CC() { return cc_; }
    const TmsAddressList& CC() const { return cc_; }
    TmsAddressList& BCC() { return bcc_; }
    const TmsAddressList& BCC() const { return bcc_; }

    bool ReturnReceipt() const { return returnReceipt_; }
    void SetReturnReceipt(bool value) { returnReceipt_ = value; }
    TPriority Priority() const { return priority_; }
    void SetPriority(TPriority priority) { priority_ = priority; }

    void Validate() override;
    void SaveToStream(std::ostream& stream) override;
    void LoadFromStream(std::istream& stream) override;
    void Clear() override;
    void ReadHeaders(const TmsHeaders& headers) override;
    void ReadHeadersTolerantly(const TmsHeaders& headers) override;
    void Assign(const TmsCustomMessage& source) override;

protected:
    void loadFromText(std::string_view text) override;
    void saveToText(std::string& text) override;

private:
    void readHeaders(const TmsHeaders& headers, bool tolerant);

    TmsAddressList recipients_;
    TmsAddressList cc_;
    TmsAddressList bcc_;
    bool returnReceipt_ = false;
    TPriority priority_ = ptNormal;
};

namespace mail {

// Reads the whole of a stream, from its start when it can seek.
std::string readWholeStream(std::istream& stream);

}  // namespace mail
