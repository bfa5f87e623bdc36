#pragma once
// Writers of mail text: header lines, then a plain text body, one encoded
// part, a MIME multipart structure, or UU blocks after the text. Every line
// ends with CR LF. Writing removes the writer's own fields from the
// message's Headers, so the values of the properties go out, not old copies.

#include <ostream>
#include <span>
#include <string>
#include <string_view>

#include "mail/message.h"
#include "platform/event_pump.h"

class TmsArticle;

class TmsCustomEncoder {
public:
    explicit TmsCustomEncoder(TmsCustomMessage& message);
    virtual ~TmsCustomEncoder() = default;
    TmsCustomEncoder(const TmsCustomEncoder&) = delete;
    TmsCustomEncoder& operator=(const TmsCustomEncoder&) = delete;

    void SetStream(std::ostream& stream);
    // Writes into the string instead, replacing what it holds.
    void SetText(std::string& text);
    // Writes the whole message from the start of the stream or into the
    // string; throws mail::EInOutError when the stream fails.
    void Encode();

protected:
    virtual void writeHeaders() = 0;

    void writeLine(std::string_view line);
    // A header line folded to the length servers take, or to `width`.
    void writeHeaderLine(std::string_view line, std::size_t width);
    // label + the encoded text, its lines kept short when encoding changed
    // the plain text.
    void writeEncodedHeader(std::string_view label, std::string_view plain, const std::string& encoded);
    // Removes every copy of the given fields from Headers and writes the
    // other header lines as they stand.
    void writeOtherHeaders(std::initializer_list<std::string_view> ownFields);
    void writeSubjectAndMimeVersion();

    TmsCustomMessage& message() { return message_; }

private:
    void writeOtherField(std::span<const std::string> field);
    void writePlain(const std::string& textType);
    void writeTextContentLines(const std::string& textType);
    void writeBodyText();
    void writeSinglePart();
    void writeMultipart(bool alternative);
    void writeUU();
    void writeContents(const TmsAttItem& item);
    std::string freshBoundary(std::string_view enclosing);
    std::size_t estimatedSize() const;
    void flushToStream();
    bool bodyNeedsQuotedPrintable() const;
    std::string charSetLabel() const;

    TmsCustomMessage& message_;
    // Lines are gathered in text_: the caller's string, or buffer_ that goes
    // to the stream in pieces.
    std::ostream* stream_ = nullptr;
    std::string* text_ = nullptr;
    std::string buffer_;
    bool longLines_ = false;
    bool eightBit_ = false;
    platform::PumpThrottle pump_;
};

class TmsMessageEncoder : public TmsCustomEncoder {
public:
    explicit TmsMessageEncoder(TmsMessage& message);

protected:
    void writeHeaders() override;

private:
    void writeAddressList(std::string_view field, const TmsAddressList& list);
    TmsMessage& mail_;
};

class TmsArticleEncoder : public TmsCustomEncoder {
public:
    explicit TmsArticleEncoder(TmsArticle& article);

protected:
    void writeHeaders() override;

private:
    TmsArticle& article_;
};

namespace mail {

// "7 bit", "Base64" or "Quoted-Printable".
std::string_view encodingName(AttEncoding encoding);

}  // namespace mail
