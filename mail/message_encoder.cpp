#include "mail/message_encoder.h"

#include <algorithm>

#include "mail/article.h"
#include "mail/base64_coding.h"
#include "mail/boundary.h"
#include "mail/charset_conversion.h"
#include "mail/header_encoding.h"
#include "mail/header_folding.h"
#include "mail/mail_error.h"
#include "mail/quoted_printable.h"
#include "mail/text_case.h"
#include "mail/uu_coding.h"

namespace mail {

std::string_view encodingName(AttEncoding encoding)
{
    switch (encoding) {
    case AttEncoding::Base64:
        return "Base64";
    case AttEncoding::QuotedPrintable:
        return "Quoted-Printable";
    case AttEncoding::None:
        break;
    }
    return "7 bit";
}

}  // namespace mail

namespace {

constexpr std::size_t kLongLine = 256;
constexpr std::string_view kCrLf = "\r\n";
// What the writer gathers before it hands text to a stream.
constexpr std::size_t kStreamPiece = 64 * 1024;

bool isAltName(const TmsAttItem& item) { return mail::startsWithNoCase(mail::fileNamePart(item.FileName()), "_alt."); }

bool isBodyFileName(std::string_view name)
{
    return mail::equalsNoCase(name, "_htmbody.htm") || mail::equalsNoCase(name, "_rtfbody.rtf");
}

// A field name longer than this leaves no room for any value in one line.
constexpr std::size_t kLongestFieldName = 900;
// Lines that carry encoded words are kept as short as mail usually has them.
constexpr std::size_t kEncodedLineWidth = 78;

// Words longer than this cannot share a line with a field name of that
// length; in free text they go out as encoded words.
std::size_t longestWordAfter(std::string_view fieldName)
{
    const std::size_t room = mail::kLongestHeaderLine - std::min(fieldName.size(), kLongestFieldName) - 2;
    return std::clamp<std::size_t>(room, 76, kLongestFieldName);
}

bool isFoldedLine(std::string_view line)
{
    return line.front() == ' ' || line.front() == '\t' || line.find(':') == std::string_view::npos;
}

// Lines of text contents that go out as they are and come back the same:
// each ends with CR LF, none holds a lone CR or LF or a NUL, none is too long
// for a mail server.
bool linesComeBackWhole(std::string_view contents)
{
    if (contents.empty())
        return true;
    if (contents.size() < 2 || contents.substr(contents.size() - 2) != "\r\n")
        return false;
    std::size_t lineStart = 0;
    for (std::size_t i = 0; i < contents.size(); ++i) {
        const char c = contents[i];
        if (c == '\0')
            return false;
        if (c == '\n' && (i == 0 || contents[i - 1] != '\r'))
            return false;
        if (c == '\r') {
            if (i + 1 >= contents.size() || contents[i + 1] != '\n')
                return false;
            if (i - lineStart > mail::kLongestHeaderLine)
                return false;
            lineStart = i + 2;
        }
    }
    return true;
}

// How an attachment travels. Contents marked for no coding go as lines
// only when those lines bring them back byte for byte; an attached message
// keeps its lines (its coding may be no other) unless a server would refuse
// one of them.
mail::AttEncoding writtenEncoding(const TmsAttItem& item)
{
    if (item.Encoding() != mail::AttEncoding::None || linesComeBackWhole(item.Contents()))
        return item.Encoding();
    if (mail::startsWithNoCase(item.ContentType(), "message/")) {
        const std::vector<std::string> lines = mail::splitLines(item.Contents());
        const bool longLine = std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
            return line.size() > mail::kLongestHeaderLine;
        });
        return longLine ? mail::AttEncoding::Base64 : mail::AttEncoding::None;
    }
    return mail::startsWithNoCase(item.ContentType(), "text/") ? mail::AttEncoding::QuotedPrintable
                                                               : mail::AttEncoding::Base64;
}

}  // namespace

TmsCustomEncoder::TmsCustomEncoder(TmsCustomMessage& message) : message_(message)
{
    for (const std::string& line : message_.Body()) {
        longLines_ = longLines_ || line.size() >= kLongLine;
        eightBit_ = eightBit_ || !mail::isAscii(line);
    }
}

void TmsCustomEncoder::SetStream(std::ostream& stream)
{
    stream_ = &stream;
    text_ = &buffer_;
}

void TmsCustomEncoder::SetText(std::string& text)
{
    stream_ = nullptr;
    text_ = &text;
}

void TmsCustomEncoder::writeLine(std::string_view line)
{
    pump_.tick();
    text_->append(line);
    text_->append(kCrLf);
    if (stream_ != nullptr && text_->size() >= kStreamPiece)
        flushToStream();
}

void TmsCustomEncoder::writeHeaderLine(std::string_view line, std::size_t width)
{
    for (const std::string& piece : mail::foldHeaderLine(line, width))
        writeLine(piece);
}

void TmsCustomEncoder::writeEncodedHeader(std::string_view label, std::string_view plain, const std::string& encoded)
{
    writeHeaderLine(std::string(label) + encoded, encoded == plain ? mail::kLongestHeaderLine : kEncodedLineWidth);
}

void TmsCustomEncoder::flushToStream()
{
    stream_->write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    buffer_.clear();
}

std::size_t TmsCustomEncoder::estimatedSize() const
{
    std::size_t size = 4096;  // the writer's own header lines, part headers and delimiters
    for (const std::string& line : message_.Headers().lines())
        size += line.size() + kCrLf.size();
    for (const std::string& line : message_.Body())
        size += line.size() + kCrLf.size();
    const TmsAttList& attachments = message_.Attachments();
    for (int i = 0; i < attachments.Count(); ++i) {
        const std::size_t bytes = attachments.Items(i).Contents().size();
        switch (attachments.Items(i).Encoding()) {
        case mail::AttEncoding::Base64:
            // 57 bytes to a line of 76 characters in MIME, 45 to 61 in UU.
            size += message_.Encoding() == meUU ? (bytes / 45 + 1) * 63 : (bytes / 57 + 1) * 78;
            break;
        case mail::AttEncoding::QuotedPrintable:
        case mail::AttEncoding::None:
            size += bytes + bytes / 16;  // breaks and escapes; mostly text
            break;
        }
        size += 512;
    }
    return size;
}

void TmsCustomEncoder::Encode()
{
    if (text_ == nullptr)
        throw mail::EInOutError("No stream to write the message to");
    text_->clear();
    if (stream_ != nullptr) {
        stream_->seekp(0);
        if (!*stream_)
            stream_->clear();  // a stream that cannot seek is written where it stands
        buffer_.reserve(kStreamPiece + 1024);
    } else {
        // One allocation for the whole text: growing it would copy a large
        // message again and again and hold it twice meanwhile.
        text_->reserve(estimatedSize());
    }
    writeHeaders();
    const std::string type = message_.ContentType();
    const bool noAttachments = message_.Attachments().Count() == 0;
    if (message_.Encoding() == meUU)
        writeUU();
    else if (type == "multipart/mixed")
        writeMultipart(false);
    else if (type == "multipart/alternative")
        writeMultipart(true);
    else if (noAttachments)
        // A text body under its stored type (an HTML or rich-text message
        // read from a file); a non-text type cannot describe body lines.
        writePlain(mail::startsWithNoCase(type, "text/") ? type : "text/plain");
    else
        writeSinglePart();
    if (stream_ == nullptr)
        return;
    flushToStream();
    stream_->flush();
    if (!*stream_)
        throw mail::EInOutError("Error writing the message");
}

void TmsCustomEncoder::writeOtherHeaders(std::initializer_list<std::string_view> ownFields)
{
    // Every copy goes, with its folded lines, so a message loaded and saved
    // again does not gather one more recipient line per round. A folded line
    // is whatever the header lookups take for one: it begins with a blank or
    // holds no colon. Such lines before the first field belong to none and
    // would be read as part of the field written last, so they go as well.
    auto& lines = message_.Headers().lines();
    bool removing = true;
    std::erase_if(lines, [&](const std::string& line) {
        if (line.empty()) {
            removing = true;  // not written: what follows it has no field either
            return false;
        }
        const bool folded = line.front() == ' ' || line.front() == '\t' || line.find(':') == std::string::npos;
        if (!(removing && folded))
            removing = std::any_of(ownFields.begin(), ownFields.end(),
                                   [&](std::string_view field) { return mail::headerLineMatches(line, field); });
        return removing;
    });
    // An empty line would end the header block here.
    std::erase_if(lines, [](const std::string& line) { return line.empty(); });
    for (std::size_t i = 0; i < lines.size();) {
        std::size_t end = i + 1;
        while (end < lines.size() && isFoldedLine(lines[end]))
            ++end;
        writeOtherField(std::span<const std::string>(lines).subspan(i, end - i));
        i = end;
    }
}

void TmsCustomEncoder::writeOtherField(std::span<const std::string> field)
{
    const bool ascii =
        std::all_of(field.begin(), field.end(), [](const std::string& line) { return mail::isAscii(line); });
    const bool fits = std::all_of(field.begin(), field.end(),
                                  [](const std::string& line) { return line.size() <= mail::kLongestHeaderLine; });
    if (ascii && fits) {
        for (const std::string& line : field)
            writeLine(line);
        return;
    }
    const std::string& first = field.front();
    const std::string name = first.substr(0, std::min(first.find(':'), first.size()));
    if (name.size() > kLongestFieldName)
        return;  // no server takes it in any form; the rest of the mail still goes
    if (ascii && !mail::isUnstructuredField(name)) {
        for (const std::string& line : field)
            writeHeaderLine(line, mail::kLongestHeaderLine);
        return;
    }
    // The field is made ASCII (and its long words encoded) as one text; a
    // folded line without its blank is one all the same.
    std::string unfolded = first;
    for (const std::string& line : field.subspan(1))
        unfolded += line.front() == ' ' || line.front() == '\t' ? line : " " + line;
    const std::size_t longest = mail::isUnstructuredField(name) ? longestWordAfter(name) : std::string_view::npos;
    writeEncodedHeader("", unfolded, mail::encodeHeaderField(unfolded, longest));
}

void TmsCustomEncoder::writeSubjectAndMimeVersion()
{
    const std::string& subject = message_.Subject();
    if (!subject.empty())
        writeEncodedHeader("Subject:  ", subject, mail::encodeHeaderText(subject, longestWordAfter("Subject")));
    if (message_.Encoding() == meMIME)
        writeLine("Mime-Version: 1.0");
}

bool TmsCustomEncoder::bodyNeedsQuotedPrintable() const
{
    return message_.CharSet() == csISO8859 || longLines_ || eightBit_;
}

std::string TmsCustomEncoder::charSetLabel() const
{
    if (eightBit_)
        return "utf-8";  // the text is UTF-8 in memory and goes out so
    return message_.CharSet() == csISO8859 ? "iso-8859-1" : "us-ascii";
}

void TmsCustomEncoder::writeTextContentLines(const std::string& textType)
{
    writeLine("Content-Type: " + textType + "; charset=\"" + charSetLabel() + "\"");
    writeLine(bodyNeedsQuotedPrintable() ? "Content-Transfer-Encoding: quoted-printable"
                                         : "Content-Transfer-Encoding: 7bit");
}

void TmsCustomEncoder::writeBodyText()
{
    const auto& body = message_.Body();
    if (!bodyNeedsQuotedPrintable()) {
        for (const std::string& line : body)
            writeLine(line);
        return;
    }
    // Every line ends with its break, so a last empty line survives too.
    // A line from an older file that is no UTF-8 is made so: the label says
    // UTF-8 for every line.
    std::string text;
    for (const std::string& line : body) {
        text += eightBit_ ? mail::repairUtf8(line) : line;
        text += kCrLf;
    }
    mail::quotedPrintableEncodeExactLines(text, [this](std::string_view line) { writeLine(line); });
}

void TmsCustomEncoder::writePlain(const std::string& textType)
{
    writeTextContentLines(textType);
    writeLine("");
    writeBodyText();
}

void TmsCustomEncoder::writeSinglePart()
{
    const TmsAttItem& item = message_.Attachments().Items(0);
    const std::string name = mail::fileNamePart(item.FileName());
    if (mail::equalsNoCase(name, "_htmbody.htm"))
        writeLine("Content-Type: text/html");
    else if (mail::equalsNoCase(name, "_rtfbody.rtf"))
        writeLine("Content-Type: text/rtf");
    else
        writeEncodedHeader("Content-Type: " + item.ContentType() + "; ", "name=\"" + name + "\"",
                           mail::typeNameParameter(name));
    writeLine("Content-Transfer-Encoding: " + std::string(mail::encodingName(writtenEncoding(item))));
    if (!isBodyFileName(name))
        writeEncodedHeader("Content-Disposition: attachment; ", "filename=\"" + name + "\"",
                           mail::dispositionNameParameter(name));
    writeLine("");
    writeContents(item);
}

std::string TmsCustomEncoder::freshBoundary(std::string_view enclosing)
{
    // A body line that happened to begin with the delimiter would end the part.
    for (;;) {
        std::string boundary = mail::drawBoundary(enclosing);
        const std::string delimiter = "--" + boundary;
        if (std::none_of(message_.Body().begin(), message_.Body().end(),
                         [&](const std::string& line) { return line.compare(0, delimiter.size(), delimiter) == 0; }))
            return boundary;
    }
}

void TmsCustomEncoder::writeMultipart(bool alternative)
{
    const TmsAttList& attachments = message_.Attachments();
    const int count = attachments.Count();
    const bool hasBody = !message_.Body().empty();
    const std::string outer = freshBoundary({});
    writeLine("Content-Type: " + std::string(alternative ? "multipart/alternative" : "multipart/mixed") +
              "; boundary=\"" + outer + "\"");
    writeLine("");
    writeLine(mail::resourceText(mail::kMultipartPreamble));
    writeLine("");
    writeLine("--" + outer);

    std::string current = outer;
    std::string inner;
    bool nestedOpen = false;
    if (!alternative && count > 0 && isAltName(attachments.Items(0))) {
        inner = freshBoundary(outer);
        writeLine("Content-Type:  multipart/alternative; boundary=\"" + inner + "\"");
        writeLine("Content-Transfer-Encoding: 7bit");
        writeLine("");
        writeLine("--" + inner);
        current = inner;
        nestedOpen = true;
    }

    if (hasBody) {
        writeTextContentLines("text/plain");
        writeLine("");
        writeBodyText();
        writeLine("");
        writeLine("--" + current + (count == 0 ? "--" : ""));
    }

    for (int i = 0; i < count; ++i) {
        const TmsAttItem& item = attachments.Items(i);
        const std::string name = mail::fileNamePart(item.FileName());
        if (i > 0) {
            writeLine("");
            writeLine("--" + current);
        }
        const bool ordinary = !(alternative || nestedOpen || (i == 0 && !hasBody && isBodyFileName(name)));
        if (ordinary)
            writeEncodedHeader("Content-Type: " + item.ContentType() + "; ", "name=\"" + name + "\"",
                               mail::typeNameParameter(name));
        else
            writeHeaderLine("Content-Type: " + item.ContentType(), mail::kLongestHeaderLine);
        writeLine("Content-Transfer-Encoding: " + std::string(mail::encodingName(writtenEncoding(item))));
        if (ordinary)
            writeEncodedHeader("Content-Disposition: attachment; ", "filename=\"" + name + "\"",
                               mail::dispositionNameParameter(name));
        writeLine("");
        writeContents(item);
        writeLine("");
        if (i + 1 == count) {
            writeLine("--" + current + "--");
            if (nestedOpen)
                writeLine("--" + outer + "--");
        } else if (nestedOpen && !isAltName(attachments.Items(i + 1))) {
            writeLine("--" + inner + "--");
            current = outer;
            nestedOpen = false;
        }
    }
}

void TmsCustomEncoder::writeUU()
{
    writeLine("");
    for (const std::string& line : message_.Body())
        writeLine(line);
    const TmsAttList& attachments = message_.Attachments();
    for (int i = 0; i < attachments.Count(); ++i) {
        const TmsAttItem& item = attachments.Items(i);
        writeLine("");
        writeLine("begin 600 " + mail::fileNamePart(item.FileName()));
        mail::uuEncodeLines(item.Contents(), [this](std::string_view line) { writeLine(line); });
        writeLine("`");
        writeLine("end");
    }
}

void TmsCustomEncoder::writeContents(const TmsAttItem& item)
{
    switch (writtenEncoding(item)) {
    case mail::AttEncoding::Base64:
        mail::base64EncodeLines(item.Contents(), [this](std::string_view line) { writeLine(line); });
        break;
    case mail::AttEncoding::QuotedPrintable:
        // Contents come back byte for byte: their own line ends included.
        mail::quotedPrintableEncodeExactLines(item.Contents(), [this](std::string_view line) { writeLine(line); });
        break;
    case mail::AttEncoding::None:
        for (const std::string& line : mail::splitLines(item.Contents()))
            writeLine(line);
        break;
    }
}

TmsMessageEncoder::TmsMessageEncoder(TmsMessage& message) : TmsCustomEncoder(message), mail_(message) {}

void TmsMessageEncoder::writeAddressList(std::string_view field, const TmsAddressList& list)
{
    std::string label(field);
    if (label.empty() || label.back() != ':')
        label += ':';
    if (label.size() < 10)
        label.resize(10, ' ');
    for (int i = 0; i < list.Count(); ++i) {
        const TmsMailAddress& address = list.Items(i);
        const std::string lead = i == 0 ? label : std::string(10, ' ');
        const std::string comma = i + 1 < list.Count() ? "," : "";
        writeEncodedHeader(lead, mail::quoteDisplayName(address.Name()) + " <" + address.Address() + ">" + comma,
                           mail::encodeDisplayName(address.Name()) + " <" + address.Address() + ">" + comma);
    }
}

void TmsMessageEncoder::writeHeaders()
{
    const TmsMailAddress& sender = mail_.Sender();
    writeEncodedHeader("From:     ", mail::quoteDisplayName(sender.Name()) + " <" + sender.Address() + ">",
                       mail::encodeDisplayName(sender.Name()) + " <" + sender.Address() + ">");
    writeAddressList("To", mail_.Recipients());
    writeAddressList("CC", mail_.CC());
    if (mail_.ReturnReceipt())
        writeLine("Return-Receipt-To: <" + sender.Address() + ">");
    if (mail_.Priority() == ptLow)
        writeLine("X-Priority: 5");
    else if (mail_.Priority() == ptHigh)
        writeLine("X-Priority: 1");
    // Content-Disposition goes too: a copy read with the message would stand
    // beside the one the writer gives a single attachment.
    writeOtherHeaders({"From", "To", "CC", "BCC", "Return-Receipt-To", "X-Priority", "Subject", "Mime-Version",
                       "Content-Type", "X-Encoding", "Content-Transfer-Encoding", "Content-Disposition"});
    writeSubjectAndMimeVersion();
}

TmsArticleEncoder::TmsArticleEncoder(TmsArticle& article) : TmsCustomEncoder(article), article_(article) {}

void TmsArticleEncoder::writeHeaders()
{
    const TmsMailAddress& sender = article_.Sender();
    const std::string& name = sender.Name();
    writeEncodedHeader("From:     ", name + " <" + sender.Address() + ">",
                       (mail::isAscii(name) ? name : mail::encodedWords(name)) + " <" + sender.Address() + ">");
    writeHeaderLine("Newsgroups: " + article_.NewsGroups(), mail::kLongestHeaderLine);
    // Newsgroups is written from the property, so its old copy goes too.
    writeOtherHeaders({"From", "To", "CC", "BCC", "Return-Receipt-To", "X-Priority", "Subject", "Mime-Version",
                       "Content-Type", "X-Encoding", "Content-Transfer-Encoding", "Content-Disposition",
                       "Newsgroups"});
    writeSubjectAndMimeVersion();
}
