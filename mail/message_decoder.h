#pragma once
// Readers of mail text: the header block into the message's properties,
// then the body and attachments by the MIME fields, or as text with UU
// blocks for non-MIME mail. Nothing in the content makes a load fail: a
// structure or coding the reader cannot follow leaves an explanation in the
// body and the whole source attached as "original.eml".

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "mail/line_stream.h"
#include "mail/message.h"
#include "mail/mime_fields.h"
#include "platform/event_pump.h"

class TmsArticle;

class TmsCustomDecoder {
public:
    // The source is read in place: it must outlive the decoder unchanged.
    TmsCustomDecoder(TmsCustomMessage& message, std::string_view source);
    virtual ~TmsCustomDecoder() = default;
    TmsCustomDecoder(const TmsCustomDecoder&) = delete;
    TmsCustomDecoder& operator=(const TmsCustomDecoder&) = delete;

    // Reads the whole source into the message.
    void Decode();

private:
    using AttachmentList = std::vector<std::unique_ptr<TmsAttItem>>;

    bool readLine(std::string_view& line);
    void readHeaderBlock(TmsHeaders& headers);
    void readBody();
    void readText();
    bool tryReadUUBlocks(std::size_t afterBeginLine, std::string_view beginLine);
    void readUUBlocks(std::string_view beginLine, AttachmentList& found);
    void readMime();
    void readSingleText(const std::string& typeValue);
    void readSingleAttachment(const std::string& typeValue);
    void readMultipart(const std::string& typeValue, bool alternative);
    bool readFirstPart(bool& headersPending);
    // Returns the line that ended the part; nothing when the data ended.
    std::optional<std::string_view> readPartContents(TmsAttItem& item, const mail::TransferEncoding& encoding);
    bool partFollows(std::optional<std::string_view> ending);
    void takeTextCharSet(std::string_view typeValue, mail::AttEncoding kind);
    std::string attachmentName(std::string_view wanted, std::string_view fallbackPrefix) const;
    void keepSourceAfterError(const std::string& message);

    TmsCustomMessage& message_;
    TLineStream lines_;
    TmsHeaders partHeaders_;
    std::string boundary_;
    std::string outerBoundary_;
    bool alternative_ = false;
    bool nestedAlternative_ = false;
    std::size_t uuFailedUntil_ = 0;  // end of the last stretch that was no UU
    platform::PumpThrottle pump_;
};

class TmsMessageDecoder : public TmsCustomDecoder {
public:
    TmsMessageDecoder(TmsMessage& message, std::string_view source) : TmsCustomDecoder(message, source) {}
};

class TmsArticleDecoder : public TmsCustomDecoder {
public:
    TmsArticleDecoder(TmsArticle& article, std::string_view source);
};

namespace mail {

// "begin 644 name": upper-cased it begins with "BEGIN", is longer than 8
// characters, and the three characters after "BEGIN" and blanks are a number.
bool isUUBeginLine(std::string_view line);

}  // namespace mail
