#include "mail/message.h"

#include <fstream>
#include <iterator>

#include "mail/article.h"
#include "mail/mail_error.h"
#include "mail/message_decoder.h"
#include "mail/message_encoder.h"
#include "mail/safe_file_name.h"
#include "mail/text_case.h"
#include "mail/text_limit.h"
#include "platform/files.h"

namespace mail {

std::string readWholeStream(std::istream& stream)
{
    stream.clear();
    const auto position = stream.tellg();
    if (position != std::istream::pos_type(-1) && position != std::istream::pos_type(0)) {
        stream.seekg(0);
        if (!stream)
            stream.clear();
    }
    return std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

}  // namespace mail

namespace {

bool nameStartsWithAlt(const TmsAttItem& item)
{
    return mail::startsWithNoCase(mail::fileNamePart(item.FileName()), "_alt.");
}

}  // namespace

std::string TmsCustomMessage::ContentType()
{
    const int count = attachments_.Count();
    if (encoding_ == meUU) {
        contentType_.clear();
        return {};
    }
    bool allAlt = count > 0;
    for (int i = 0; i < count && allAlt; ++i)
        allAlt = nameStartsWithAlt(attachments_.Items(i));
    if (allAlt) {
        contentType_ = "multipart/alternative";
    } else if (body_.empty()) {
        const std::string onlyName = count == 1 ? mail::lowerCase(mail::fileNamePart(attachments_.Items(0).FileName())) : "";
        if (onlyName == "_rtfbody.rtf")
            contentType_ = "text/rtf";
        else if (onlyName == "_htmbody.htm")
            contentType_ = "text/html";
        else if (count == 1)
            contentType_ = attachments_.Items(0).ContentType();
        else
            contentType_ = count == 0 ? "text/plain" : "multipart/mixed";
    } else if (count > 0) {
        contentType_ = "multipart/mixed";
    } else if (contentType_.empty()) {
        contentType_ = "text/plain";
    }
    return contentType_;
}

void TmsCustomMessage::SetContentType(std::string_view contentType)
{
    contentType_ = mail::lowerCase(mail::limitText(contentType));
}

void TmsCustomMessage::SetSubject(std::string_view subject) { subject_ = mail::limitText(subject); }

void TmsCustomMessage::SetDeclaredCharSet(std::string_view name) { declaredCharSet_ = mail::limitText(name); }

void TmsCustomMessage::Validate()
{
    if (sender_.Address().empty())
        throw EMessageError(mail::kSenderRequired);
}

void TmsCustomMessage::Clear()
{
    body_.clear();
    attachments_.Clear();
    sender_.Clear();
    headers_.Clear();
    subject_.clear();
    encoding_ = meMIME;
    charSet_ = csUSASCII;
    declaredCharSet_.clear();
    contentType_.clear();
}

void TmsCustomMessage::Assign(const TmsCustomMessage& source)
{
    if (this == &source)
        return;
    sender_.Assign(source.sender_);
    subject_ = source.subject_;
    encoding_ = source.encoding_;
    charSet_ = source.charSet_;
    declaredCharSet_ = source.declaredCharSet_;
    headers_.Assign(source.headers_);
    body_ = source.body_;
    attachments_.Assign(source.attachments_);
    contentType_ = source.contentType_;
    ContentType();  // the source's rule gives the same on the same parts
    tag_ = source.tag_;
}

std::string TmsCustomMessage::SaveToString()
{
    std::string text;
    saveToText(text);
    return text;
}

void TmsCustomMessage::LoadFromString(std::string_view text) { loadFromText(text); }

void TmsCustomMessage::SaveToFile(const std::string& path)
{
    const std::string text = SaveToString();
    // Another program may pick the file up at any moment: it never sees half.
    try {
        platform::WriteFileAtomic(path, text);
    } catch (const std::exception& error) {
        throw mail::EFCreateError(error.what());
    }
}

void TmsCustomMessage::LoadFromFile(const std::string& path)
{
    Clear();
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw mail::EInOutError("Cannot open file \"" + path + "\"");
    LoadFromStream(in);
}

std::string TmsCustomMessage::SaveAttachment(int index, const std::string& folder) const
{
    const TmsAttItem& item = attachments_.Items(index);
    std::string name = mail::safeAttachmentName(mail::fileNamePart(item.FileName()));
    if (name.empty())
        name = "att." + std::to_string(index);
    std::string path = folder;
    if (!path.empty() && path.back() != '/')
        path += '/';
    path += name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        throw mail::EFCreateError("Cannot create file \"" + path + "\"");
    out.write(item.Contents().data(), static_cast<std::streamsize>(item.Contents().size()));
    out.flush();
    if (!out)
        throw mail::EInOutError("Cannot write file \"" + path + "\"");
    return path;
}

void TmsMessage::Validate()
{
    TmsCustomMessage::Validate();
    for (const TmsAddressList* list : {&recipients_, &cc_, &bcc_})
        for (int i = 0; i < list->Count(); ++i)
            if (!list->Items(i).Address().empty())
                return;
    throw EMessageError(mail::kRecipientRequired);
}

void TmsMessage::SaveToStream(std::ostream& stream)
{
    TmsMessageEncoder encoder(*this);
    encoder.SetStream(stream);
    encoder.Encode();
}

void TmsMessage::saveToText(std::string& text)
{
    TmsMessageEncoder encoder(*this);
    encoder.SetText(text);
    encoder.Encode();
}

void TmsMessage::LoadFromStream(std::istream& stream) { loadFromText(mail::readWholeStream(stream)); }

void TmsMessage::loadFromText(std::string_view text)
{
    TmsMessageDecoder decoder(*this, text);
    decoder.Decode();
}

void TmsMessage::Clear()
{
    TmsCustomMessage::Clear();
    recipients_.Clear();
    cc_.Clear();
    bcc_.Clear();
    // A load sets these too, so a cleared message must not keep them.
    returnReceipt_ = false;
    priority_ = ptNormal;
}

void TmsMessage::ReadHeaders(const TmsHeaders& headers) { readHeaders(headers, false); }

void TmsMessage::ReadHeadersTolerantly(const TmsHeaders& headers) { readHeaders(headers, true); }

void TmsMessage::readHeaders(const TmsHeaders& headers, bool tolerant)
{
    const auto parse = tolerant ? mail::textToMailAddressLenient : TextToMailAddress;
    parse(headers.GetFieldValue("FROM"), Sender());
    for (const auto& [field, list] : {std::pair{"TO", &recipients_}, std::pair{"CC", &cc_}}) {
        for (const std::string& item : headers.GetFieldList(field)) {
            TmsMailAddress address;
            parse(item, address);
            list->AddAddress(address.Address(), address.Name());
        }
    }
    const std::string subject = headers.GetFieldValue("Subject");
    if (!subject.empty())
        SetSubject(subject);
    const std::string priority = headers.GetFieldValue("X-Priority");
    priority_ = priority == "1" ? ptHigh : priority == "5" ? ptLow : ptNormal;
    if (!headers.GetFieldValue("Return-receipt-to").empty())
        returnReceipt_ = true;
    Headers().Assign(headers);
}

void TmsMessage::Assign(const TmsCustomMessage& source)
{
    if (this == &source)
        return;
    if (const auto* message = dynamic_cast<const TmsMessage*>(&source)) {
        recipients_.Assign(message->recipients_);
        cc_.Assign(message->cc_);
        bcc_.Assign(message->bcc_);
        priority_ = message->priority_;
        returnReceipt_ = message->returnReceipt_;
    }
    TmsCustomMessage::Assign(source);
}
