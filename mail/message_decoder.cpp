#include "mail/message_decoder.h"

#include <algorithm>
#include <cctype>
#include <functional>
#include <new>
#include <optional>

#include "mail/article.h"
#include "mail/base64_coding.h"
#include "mail/charset_conversion.h"
#include "mail/mail_error.h"
#include "mail/quoted_printable.h"
#include "mail/safe_file_name.h"
#include "mail/text_case.h"
#include "mail/uu_coding.h"
#include "platform/rtf_text.h"

namespace mail {

bool isUUBeginLine(std::string_view line)
{
    if (line.size() <= 8 || !startsWithNoCase(line, "BEGIN"))
        return false;
    const std::string rest = trimmed(line.substr(5));
    const std::string_view token = std::string_view(rest).substr(0, 3);
    std::size_t i = (!token.empty() && (token[0] == '+' || token[0] == '-')) ? 1 : 0;
    if (i == token.size())
        return false;
    for (; i < token.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(token[i])))
            return false;
    return true;
}

}  // namespace mail

namespace {

constexpr std::string_view kCrLf = "\r\n";

// Asked for every line of every part: the first character, which coded
// lines seldom begin with, settles nearly all of them without a call.
bool startsWith(std::string_view line, std::string_view prefix)
{
    return line.size() >= prefix.size() && (prefix.empty() || line.front() == prefix.front()) &&
           line.substr(0, prefix.size()) == prefix;
}

// A delimiter line may carry blanks after the boundary.
bool isDelimiter(std::string_view line, std::string_view boundary)
{
    return startsWith(line, boundary) && mail::trimmed(line.substr(boundary.size())).empty();
}

bool isClosing(std::string_view line, std::string_view boundary)
{
    return startsWith(line, boundary) && mail::trimmed(line.substr(boundary.size())) == "--";
}

// The name of a UU begin line: after "begin 600 ", quoted or up to a blank.
std::string uuBlockName(std::string_view beginLine)
{
    const std::string_view rest = beginLine.size() > 10 ? beginLine.substr(10) : std::string_view();
    if (!rest.empty() && rest.front() == '"') {
        const std::size_t close = rest.find('"', 1);
        return close == std::string_view::npos ? std::string() : std::string(rest.substr(1, close - 1));
    }
    return std::string(rest.substr(0, rest.find(' ')));
}

// The charset a text part declares; "" when it names none.
std::string charSetOf(std::string_view typeValue) { return mail::GetHeaderParam("charset", typeValue); }

// Text lines of a body as UTF-8, from the charset their part declares.
void linesToUtf8(std::vector<std::string>& lines, std::size_t from, std::string_view charset)
{
    for (std::size_t i = from; i < lines.size(); ++i)
        lines[i] = mail::declaredTextToUtf8(lines[i], charset);
}

// A text part's type with the charset its bytes are in, so the part goes out
// labelled as it came; other types as they are. The name is written into
// mail again, so only a name made of the characters of charset names is.
std::string typeWithCharSet(std::string_view type, std::string_view partType)
{
    const std::string charset = charSetOf(partType);
    if (!mail::startsWithNoCase(type, "text/") || !mail::isCharsetName(charset) ||
        type.find(';') != std::string_view::npos)
        return std::string(type);
    return std::string(type) + "; charset=\"" + charset + "\"";
}

// The line break before a delimiter belongs to the delimiter, and the writer
// puts an empty line after every attachment besides: neither is content.
void dropDelimiterBreak(std::vector<std::string>& lines, int upTo = 1)
{
    for (; upTo > 0 && !lines.empty() && lines.back().empty(); --upTo)
        lines.pop_back();
}

// Room for what `raw` bytes of coded content give, made at once: a large
// attachment that grew as it was read would be copied again and again and
// held twice meanwhile.
void reserveFor(std::string& contents, const mail::TransferEncoding& encoding, std::size_t raw)
{
    contents.reserve(contents.size() + (encoding.kind == mail::AttEncoding::Base64 ? raw / 4 * 3 + 3 : raw));
}

// Hands a part's lines on as they are read, so a large part is not held
// twice (raw and decoded). Empty lines wait: the last of them may turn out
// to be the delimiter's and are dropped when the part ends.
class HeldBackLines {
public:
    explicit HeldBackLines(std::function<void(std::string_view)> take) : take_(std::move(take)) {}
    void add(std::string_view line)
    {
        if (line.empty()) {
            ++empty_;
            return;
        }
        flush();
        take_(line);
    }
    // The part has ended; up to `drop` of the waiting empty lines go.
    void finish(std::size_t drop)
    {
        empty_ -= std::min(empty_, drop);
        flush();
    }

private:
    void flush()
    {
        for (; empty_ > 0; --empty_)
            take_({});
    }

    std::function<void(std::string_view)> take_;
    std::size_t empty_ = 0;
};

}  // namespace

TmsArticleDecoder::TmsArticleDecoder(TmsArticle& article, std::string_view source)
    : TmsCustomDecoder(article, source)
{
}

TmsCustomDecoder::TmsCustomDecoder(TmsCustomMessage& message, std::string_view source)
    : message_(message), lines_(source)
{
}

bool TmsCustomDecoder::readLine(std::string_view& line)
{
    pump_.tick();
    return lines_.ReadLine(line);
}

void TmsCustomDecoder::readHeaderBlock(TmsHeaders& headers)
{
    headers.Clear();
    std::string_view line;
    while (readLine(line) && !line.empty())
        headers.Add(std::string(line));
}

void TmsCustomDecoder::Decode()
{
    TmsHeaders headers;
    readHeaderBlock(headers);
    message_.ReadHeadersTolerantly(headers);
    try {
        if (headers.GetFieldValue("MIME-VERSION") == "1.0")
            readMime();
        else
            readText();
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception& error) {
        // Whatever the content holds, the message stays readable.
        keepSourceAfterError(error.what());
    }
}

void TmsCustomDecoder::keepSourceAfterError(const std::string& message)
{
    auto& body = message_.Body();
    body.push_back("The following error has been occured while processing the message:");
    body.push_back(message);
    body.push_back("The original message will be stored as an attachment");
    try {
        auto item = std::make_unique<TmsAttItem>();
        item->SetFileName("original.eml");
        item->SetContentType("message/rfc822");
        item->SetEncoding(mail::AttEncoding::None);
        item->Contents() = lines_.Source();
        message_.Attachments().Add(std::move(item));
    } catch (const std::exception&) {
        // Without memory for the copy the explanation alone stays.
    }
}

std::string TmsCustomDecoder::attachmentName(std::string_view wanted, std::string_view fallbackPrefix) const
{
    std::string name = mail::safeAttachmentName(wanted);
    if (name.empty())
        name = std::string(fallbackPrefix) + std::to_string(message_.Attachments().Count());
    return name;
}

void TmsCustomDecoder::readText()
{
    auto& body = message_.Body();
    const std::size_t firstNew = body.size();
    std::string_view line;
    while (readLine(line)) {
        if (mail::isUUBeginLine(line) && tryReadUUBlocks(lines_.Position(), line)) {
            if (body.size() > firstNew && body.back().empty())
                body.pop_back();  // the writer's empty line before "begin"
            break;
        }
        body.emplace_back(line);
    }
    // Mail without MIME may still name its charset.
    linesToUtf8(body, firstNew, charSetOf(message_.Headers().GetFieldValue("Content-type")));
}

bool TmsCustomDecoder::tryReadUUBlocks(std::size_t afterBeginLine, std::string_view beginLine)
{
    // A begin line inside a stretch that failed already would fail the same
    // way; not trying again keeps a load linear.
    if (afterBeginLine <= uuFailedUntil_)
        return false;
    AttachmentList found;
    try {
        readUUBlocks(beginLine, found);
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception&) {
        // Not UU after all ("Begin 100 days"): the line is text.
        uuFailedUntil_ = lines_.Position();
        lines_.Seek(afterBeginLine);
        return false;
    }
    for (auto& item : found)
        message_.Attachments().Add(std::move(item));
    message_.SetEncoding(meUU);
    return true;
}

void TmsCustomDecoder::readUUBlocks(std::string_view beginLine, AttachmentList& found)
{
    std::string_view line;
    for (;;) {
        auto item = std::make_unique<TmsAttItem>();
        std::string name = mail::safeAttachmentName(platform::ToUtf8(uuBlockName(beginLine)));
        if (name.empty())
            name = "att." + std::to_string(message_.Attachments().Count() + static_cast<int>(found.size()));
        item->SetFileName(name);
        bool ended = false;
        while (readLine(line)) {
            if (line == "`" || mail::equalsNoCase(line, "END")) {
                ended = true;
                break;
            }
            if (!line.empty())
                item->Contents() += mail::uuDecodeLine(line);
        }
        // A block that never ends was no UU block.
        if (!ended)
            throw mail::EInOutError("Unterminated UU block");
        found.push_back(std::move(item));
        bool another = false;
        while (!another && readLine(line))
            another = mail::isUUBeginLine(line);
        if (!another)
            return;
        beginLine = line;
    }
}

void TmsCustomDecoder::readMime()
{
    const std::string typeValue = message_.Headers().GetFieldValue("Content-type");
    const std::string type = mail::lowerCase(typeValue);
    if (type.find("multipart/alternative") != std::string::npos)
        readMultipart(typeValue, true);
    else if (type.find("multipart") != std::string::npos)
        readMultipart(typeValue, false);
    else if (!type.empty() && type.find("text/") == std::string::npos)
        readSingleAttachment(typeValue);
    else if (!mail::GetHeaderParam("name", typeValue).empty())
        readSingleAttachment(typeValue);
    else
        readSingleText(typeValue);
}

void TmsCustomDecoder::takeTextCharSet(std::string_view typeValue, mail::AttEncoding kind)
{
    if (kind == mail::AttEncoding::QuotedPrintable)
        message_.SetCharSet(csISO8859);
    // The declared charset wins, so the text keeps its label through a save.
    const std::string charSet = mail::lowerCase(mail::GetHeaderParam("charset", typeValue));
    if (charSet == "us-ascii") {
        message_.SetCharSet(csUSASCII);
        message_.SetDeclaredCharSet("");
    } else if (charSet == "iso-8859-1") {
        message_.SetCharSet(csISO8859);
        message_.SetDeclaredCharSet("");
    } else if (!charSet.empty()) {
        message_.SetDeclaredCharSet(charSet);
    }
}

void TmsCustomDecoder::readSingleText(const std::string& typeValue)
{
    const std::string token = mail::lowerCase(mail::ContentTypeToken(typeValue));
    if (token == "text/html" || token == "text/rtf")
        message_.SetContentType(token);
    const auto encoding = mail::transferEncodingOf(message_.Headers().GetFieldValue("Content-Transfer-Encoding"));
    auto& body = message_.Body();
    body.clear();
    takeTextCharSet(typeValue, encoding.kind);
    std::string_view line;
    if (encoding.kind == mail::AttEncoding::Base64) {
        std::string text;
        mail::Base64Decoder decoder;
        while (readLine(line)) {
            if (line.empty())
                continue;
            if (!encoding.uu)
                decoder.feed(line, text);
            else if (!mail::isUUBeginLine(line) && line != "`" && !mail::equalsNoCase(line, "end"))
                text += mail::uuDecodeLine(line);
        }
        decoder.finish(text);
        body = mail::splitLines(mail::declaredTextToUtf8(text, charSetOf(typeValue)));
        return;
    }
    if (encoding.kind == mail::AttEncoding::QuotedPrintable) {
        // The raw lines of a quoted-printable text are no UU lines.
        std::string text;
        mail::QuotedPrintableDecoder decoder;
        while (readLine(line))
            decoder.feed(line, text);
        decoder.finish(text);
        body = mail::splitLines(mail::declaredTextToUtf8(text, charSetOf(typeValue)));
        return;
    }
    std::vector<std::string> read;
    while (readLine(line)) {
        // UU blocks inside a MIME text make it a UU message after all.
        if (encoding.kind == mail::AttEncoding::None && mail::isUUBeginLine(line) &&
            tryReadUUBlocks(lines_.Position(), line)) {
            dropDelimiterBreak(read);
            break;
        }
        read.emplace_back(line);
    }
    linesToUtf8(read, 0, charSetOf(typeValue));
    body = std::move(read);
}

void TmsCustomDecoder::readSingleAttachment(const std::string& typeValue)
{
    const auto encoding = mail::transferEncodingOf(message_.Headers().GetFieldValue("Content-Transfer-Encoding"));
    auto item = std::make_unique<TmsAttItem>();
    std::string name = mail::fileNameParam("name", typeValue);
    if (mail::safeAttachmentName(name).empty())
        name = mail::fileNameParam("filename", message_.Headers().GetRawFieldValue("Content-Disposition"));
    item->SetFileName(attachmentName(name, "att."));
    item->SetContentType(typeWithCharSet(mail::ContentTypeToken(typeValue), typeValue));
    item->SetEncoding(encoding.kind);
    try {
        std::string_view line;
        std::string& contents = item->Contents();
        if (encoding.kind != mail::AttEncoding::QuotedPrintable)  // decoded into a string of its own
            reserveFor(contents, encoding, lines_.Source().size() - lines_.Position());
        if (encoding.kind == mail::AttEncoding::Base64) {
            mail::Base64Decoder decoder;
            while (readLine(line) && line != ".") {
                if (line.empty())
                    continue;
                if (!encoding.uu)
                    decoder.feed(line, contents);
                else if (!mail::isUUBeginLine(line) && line != "`" && !mail::equalsNoCase(line, "end"))
                    contents += mail::uuDecodeLine(line);
            }
            decoder.finish(contents);
        } else if (encoding.kind == mail::AttEncoding::QuotedPrintable) {
            std::vector<std::string> read;
            while (readLine(line))
                read.emplace_back(line);
            contents = mail::quotedPrintableDecode(read);
        } else {
            while (readLine(line)) {
                contents += line;
                contents += kCrLf;
            }
        }
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception&) {
        throw EMessageParserError(mail::kAttachmentDecodeError);
    }
    message_.Attachments().Add(std::move(item));
}

void TmsCustomDecoder::readMultipart(const std::string& typeValue, bool alternative)
{
    alternative_ = alternative;
    boundary_ = "--" + mail::GetHeaderParam("Boundary", typeValue);
    std::string_view line;
    bool found = false;
    while (!found && readLine(line))
        found = isDelimiter(line, boundary_);
    if (!found)
        throw EMessageParserError(mail::kBoundaryMissing);

    // A base64 first part is read as an attachment under the headers just read.
    bool headersPending = true;
    bool more = readFirstPart(headersPending);
    while (more) {
        if (headersPending)
            readHeaderBlock(partHeaders_);
        headersPending = true;
        std::string partType = partHeaders_.GetFieldValue("Content-type");
        if (partType.empty())
            partType = "text/plain";
        const auto encoding = mail::transferEncodingOf(partHeaders_.GetFieldValue("Content-Transfer-Encoding"));
        auto item = std::make_unique<TmsAttItem>();
        std::string name = mail::safeAttachmentName(mail::fileNameParam("name", partType));
        if (name.empty())
            name = mail::safeAttachmentName(
                mail::fileNameParam("filename", partHeaders_.GetRawFieldValue("Content-Disposition")));
        if (!name.empty()) {
            item->SetFileName(name);  // the type registered for its extension
        } else {
            item->SetFileName(attachmentName("", alternative_ || nestedAlternative_ ? "_alt." : "att."));
            item->SetContentType(mail::ContentTypeToken(partType));
        }
        item->SetContentType(typeWithCharSet(item->ContentType(), partType));
        item->SetEncoding(encoding.kind);
        std::optional<std::string_view> ending;
        try {
            ending = readPartContents(*item, encoding);
        } catch (const std::bad_alloc&) {
            throw;
        } catch (const std::exception&) {
            throw EMessageParserError(mail::kAttachmentDecodeError);
        }
        message_.Attachments().Add(std::move(item));
        more = partFollows(ending);
    }
}

bool TmsCustomDecoder::readFirstPart(bool& headersPending)
{
    std::string_view line;
    readHeaderBlock(partHeaders_);
    std::string partType = partHeaders_.GetFieldValue("Content-type");
    if (mail::lowerCase(partType).find("multipart/alternative") != std::string::npos) {
        nestedAlternative_ = true;
        outerBoundary_ = boundary_;
        boundary_ = "--" + mail::GetHeaderParam("boundary", partType);
        bool found = false;
        while (!found && readLine(line))
            found = isDelimiter(line, boundary_);
        if (!found)
            throw EMessageParserError(mail::kBoundaryMissing);
        readHeaderBlock(partHeaders_);
        partType = partHeaders_.GetFieldValue("Content-type");
    }
    const auto encodingValue = mail::lowerCase(partHeaders_.GetFieldValue("Content-Transfer-Encoding"));
    if (encodingValue == "base64") {
        headersPending = false;
        return true;
    }
    const auto encoding = mail::transferEncodingOf(encodingValue);
    auto& body = message_.Body();
    body.clear();
    takeTextCharSet(partType, encoding.kind);
    const bool quotedPrintable = encoding.kind == mail::AttEncoding::QuotedPrintable;
    std::vector<std::string> text;
    std::string decoded;
    mail::QuotedPrintableDecoder decoder;
    HeldBackLines held([&](std::string_view piece) {
        if (quotedPrintable)
            decoder.feed(piece, decoded);
        else
            text.emplace_back(piece);
    });
    std::optional<std::string_view> ending;
    while (readLine(line)) {
        if (isDelimiter(line, boundary_) || isClosing(line, boundary_)) {
            ending = line;
            break;
        }
        held.add(line);
    }
    held.finish(ending ? 1 : 0);
    if (quotedPrintable) {
        decoder.finish(decoded);
        body = mail::splitLines(mail::declaredTextToUtf8(decoded, charSetOf(partType)));
    } else {
        linesToUtf8(text, 0, charSetOf(partType));
        body = std::move(text);
    }
    if (body.empty())
        body.emplace_back();
    return partFollows(ending);
}

std::optional<std::string_view> TmsCustomDecoder::readPartContents(TmsAttItem& item, const mail::TransferEncoding& encoding)
{
    std::string_view line;
    std::string& contents = item.Contents();
    reserveFor(contents, encoding, lines_.BytesBefore(boundary_));
    mail::Base64Decoder decoder;
    mail::QuotedPrintableDecoder quotedPrintable;
    HeldBackLines held([&](std::string_view text) {
        if (encoding.kind == mail::AttEncoding::QuotedPrintable) {
            quotedPrintable.feed(text, contents);
        } else {
            contents += text;
            contents += kCrLf;
        }
    });
    std::optional<std::string_view> ending;
    while (readLine(line)) {
        if (startsWith(line, boundary_)) {
            ending = line;
            break;
        }
        if (encoding.kind != mail::AttEncoding::Base64) {
            held.add(line);
        } else if (line.empty()) {
            continue;
        } else if (!encoding.uu) {
            decoder.feed(line, contents);
        } else if (!mail::isUUBeginLine(line) && line != "`" && !mail::equalsNoCase(line, "end")) {
            contents += mail::uuDecodeLine(line);
        }
    }
    if (encoding.kind == mail::AttEncoding::Base64) {
        decoder.finish(contents);
        return ending;
    }
    held.finish(!ending ? 0 : isClosing(*ending, boundary_) ? 1 : 2);
    if (encoding.kind == mail::AttEncoding::QuotedPrintable)
        quotedPrintable.finish(contents);
    return ending;
}

bool TmsCustomDecoder::partFollows(std::optional<std::string_view> ending)
{
    // Data that ends without a closing delimiter ends the message normally.
    if (!ending)
        return false;
    if (!isClosing(*ending, boundary_))
        return true;
    if (!nestedAlternative_)
        return false;
    nestedAlternative_ = false;
    boundary_ = outerBoundary_;
    std::string_view line;
    while (readLine(line))
        if (startsWith(line, boundary_))
            return !isClosing(line, boundary_);
    return false;
}
