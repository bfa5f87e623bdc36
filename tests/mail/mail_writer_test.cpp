// The mail file writer: exact layouts, line ends, labels, boundaries and the
// coded attachment lines.

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <fstream>
#include <sstream>

#include "crlf_text.h"
#include "mail/article.h"
#include "mail/mail_error.h"
#include "mail/message.h"

namespace {

using mailtest::crlf;

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "text after the last CR LF";
    return lines;
}

std::unique_ptr<TmsAttItem> attachment(const std::string& name, const std::string& type, mail::AttEncoding kind,
                                       const std::string& contents)
{
    auto item = std::make_unique<TmsAttItem>();
    item->SetFileName(name);
    item->SetContentType(type);
    item->SetEncoding(kind);
    item->Contents() = contents;
    return item;
}

class MailWriter : public ::testing::Test {
protected:
    void SetUp() override
    {
        message.Sender().SetName("Ann Lee");
        message.Sender().SetAddress("ann@host");
        message.Recipients().AddAddress("bob@host", "Bob");
        message.SetSubject("Hi");
        message.Body() = {"Hello"};
    }
    TmsMessage message;
};

TEST_F(MailWriter, MinimalMessageIsExactlyEightLines)
{
    EXPECT_EQ(message.SaveToString(),
              crlf({"From:     Ann Lee <ann@host>", "To:       Bob <bob@host>", "Subject:  Hi", "Mime-Version: 1.0",
                    "Content-Type: text/plain; charset=\"us-ascii\"", "Content-Transfer-Encoding: 7bit", "",
                    "Hello"}));
}

TEST_F(MailWriter, AddressLabelsAndQuotedNames)
{
    message.Recipients().Clear();
    message.Recipients().AddAddress("a@x", "A");
    message.Recipients().AddAddress("b@x", "B");
    message.Recipients().AddAddress("c@x", "C");
    message.CC().AddAddress("bob@host", "");
    message.BCC().AddAddress("secret@host", "Secret");
    message.Sender().SetName("J. Smith");
    const auto lines = linesOf(message.SaveToString());
    EXPECT_EQ(lines[0], "From:     \"J. Smith\" <ann@host>");
    EXPECT_EQ(lines[1], "To:       A <a@x>,");
    EXPECT_EQ(lines[2], "          B <b@x>,");
    EXPECT_EQ(lines[3], "          C <c@x>");
    EXPECT_EQ(lines[4], "CC:        <bob@host>");
    EXPECT_EQ(lines[5], "Subject:  Hi");
    EXPECT_EQ(message.SaveToString().find("secret"), std::string::npos);
}

TEST_F(MailWriter, PriorityReceiptAndKeptHeaders)
{
    message.SetPriority(ptLow);
    message.SetReturnReceipt(true);
    message.Headers().Add("Date: Tue, 08 Dec 1998 09:30:00 +0100");
    message.Headers().Add("To: old@host");
    message.Headers().Add("Subject: old");
    message.Headers().Add("To: older@host");
    message.Headers().Add(" folded@host");
    const auto lines = linesOf(message.SaveToString());
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 2, lines.begin() + 6),
              (std::vector<std::string>{"Return-Receipt-To: <ann@host>", "X-Priority: 5",
                                        "Date: Tue, 08 Dec 1998 09:30:00 +0100", "Subject:  Hi"}));
    EXPECT_EQ(message.Headers().lines(), (std::vector<std::string>{"Date: Tue, 08 Dec 1998 09:30:00 +0100"}));
    message.SetPriority(ptHigh);
    EXPECT_NE(message.SaveToString().find("\r\nX-Priority: 1\r\n"), std::string::npos);
}

TEST_F(MailWriter, LoneDotLineIsWrittenAsItIs)
{
    message.Body() = {"a", ".", ".."};
    const std::string text = message.SaveToString();
    EXPECT_NE(text.find("\r\na\r\n.\r\n..\r\n"), std::string::npos);
    EXPECT_EQ(message.Body(), (std::vector<std::string>{"a", ".", ".."}));
}

TEST_F(MailWriter, LongOrEightBitOrLatinBodyGoesQuotedPrintable)
{
    message.Body() = {std::string(300, 'x')};
    std::string text = message.SaveToString();
    EXPECT_NE(text.find("charset=\"us-ascii\"\r\nContent-Transfer-Encoding: quoted-printable\r\n"), std::string::npos);
    for (const std::string& line : linesOf(text))
        EXPECT_LE(line.size(), 76u);

    message.Body() = {"short"};
    message.SetCharSet(csISO8859);
    text = message.SaveToString();
    EXPECT_NE(text.find("charset=\"iso-8859-1\"\r\nContent-Transfer-Encoding: quoted-printable\r\n"), std::string::npos);
}

TEST_F(MailWriter, EightBitTextGoesOutAsUtf8)
{
    message.Body() = {"Gr\xC3\xBC\xC3\x9F" "e"};
    std::string text = message.SaveToString();
    EXPECT_NE(text.find("charset=\"utf-8\"\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\nGr=C3=BC=C3=9Fe\r\n"),
              std::string::npos)
        << text;
    // Bytes of an older file that are no UTF-8 are read as Windows-1252, and
    // a charset the text was once declared in no longer labels it.
    message.Body() = {"Gr\xFC\xDF" "e"};
    message.SetDeclaredCharSet("koi8-r");
    text = message.SaveToString();
    EXPECT_NE(text.find("charset=\"utf-8\"\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\nGr=C3=BC=C3=9Fe\r\n"),
              std::string::npos)
        << text;
}

TEST_F(MailWriter, SinglePartAttachmentLayout)
{
    message.Body().clear();
    message.Attachments().Add(attachment("/home/u/a.bin", "application/octet-stream", mail::AttEncoding::Base64, "abc"));
    const std::string text = message.SaveToString();
    EXPECT_NE(text.find(crlf({"Mime-Version: 1.0", "Content-Type: application/octet-stream; name=\"a.bin\"",
                              "Content-Transfer-Encoding: Base64",
                              "Content-Disposition: attachment; filename=\"a.bin\"", "", "YWJj"})),
              std::string::npos)
        << text;
}

TEST_F(MailWriter, SingleHtmlBodyFileHasNoNameOrDisposition)
{
    message.Body().clear();
    message.Attachments().Add(attachment("_htmbody.htm", "text/html", mail::AttEncoding::QuotedPrintable, "<p>a=b</p>"));
    const std::string text = message.SaveToString();
    // The contents end without a line break: a soft break keeps it so.
    EXPECT_NE(text.find(crlf({"Content-Type: text/html", "Content-Transfer-Encoding: Quoted-Printable", "",
                              "<p>a=3Db</p>="})),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("Disposition"), std::string::npos);
}

TEST_F(MailWriter, HtmlTypedBodyWithoutAttachmentSaves)
{
    // What the reader leaves for a single-part HTML message.
    message.SetContentType("text/html");
    message.Body() = {"<p>Hello</p>"};
    const std::string text = message.SaveToString();
    EXPECT_NE(text.find(crlf({"Content-Type: text/html; charset=\"us-ascii\"", "Content-Transfer-Encoding: 7bit", "",
                              "<p>Hello</p>"})),
              std::string::npos)
        << text;
    message.SetContentType("application/pdf");  // no text type for body lines
    EXPECT_NE(message.SaveToString().find("Content-Type: text/plain;"), std::string::npos);
}

TEST_F(MailWriter, MultipartMixedLayoutWithCodedLines)
{
    std::string bytes57(57, 'z');
    message.Attachments().Add(attachment("a.txt", "text/plain", mail::AttEncoding::None, "one\r\ntwo\r\n"));
    message.Attachments().Add(attachment("b.bin", "application/octet-stream", mail::AttEncoding::Base64, bytes57));
    const std::string text = message.SaveToString();
    std::smatch match;
    ASSERT_TRUE(std::regex_search(text, match, std::regex("boundary=\"([0-8]{8})\"")));
    const std::string b = match[1];
    EXPECT_NE(text.find(crlf({"Content-Type: multipart/mixed; boundary=\"" + b + "\"", "",
                              "This is a multipart message in MIME format", "", "--" + b,
                              "Content-Type: text/plain; charset=\"us-ascii\"", "Content-Transfer-Encoding: 7bit", "",
                              "Hello", "", "--" + b, "Content-Type: text/plain; name=\"a.txt\"",
                              "Content-Transfer-Encoding: 7 bit", "Content-Disposition: attachment; filename=\"a.txt\"",
                              "", "one", "two", "", "", "--" + b,
                              "Content-Type: application/octet-stream; name=\"b.bin\"",
                              "Content-Transfer-Encoding: Base64", "Content-Disposition: attachment; filename=\"b.bin\"",
                              ""})),
              std::string::npos)
        << text;
    // 57 bytes fill one 76-character line; the short block after it is empty.
    const std::string tail = text.substr(text.rfind("filename=\"b.bin\"\r\n\r\n") + 20);
    std::string full;
    for (int i = 0; i < 19; ++i)
        full += "enp6";
    EXPECT_EQ(tail, crlf({full, "", "", "--" + b + "--"}));
}

TEST_F(MailWriter, NestedAlternativeLayout)
{
    message.Attachments().Add(attachment("_alt.0", "text/html", mail::AttEncoding::QuotedPrintable, "<p>Hello</p>"));
    message.Attachments().Add(attachment("_alt.1", "text/rtf", mail::AttEncoding::QuotedPrintable, "{\\rtf1 Hello}"));
    message.Attachments().Add(attachment("/tmp/a.pdf", "application/pdf", mail::AttEncoding::Base64, "%PDF-"));
    const std::string text = message.SaveToString();
    std::smatch match;
    ASSERT_TRUE(std::regex_search(text, match, std::regex("mixed; boundary=\"([0-8]{8})\"")));
    const std::string b = match[1];
    ASSERT_TRUE(std::regex_search(text, match, std::regex("alternative; boundary=\"([0-8]{8})\"")));
    const std::string b2 = match[1];
    EXPECT_NE(b, b2);
    EXPECT_EQ(text.substr(text.find("Mime-Version")),
              crlf({"Mime-Version: 1.0", "Content-Type: multipart/mixed; boundary=\"" + b + "\"", "",
                    "This is a multipart message in MIME format", "", "--" + b,
                    "Content-Type:  multipart/alternative; boundary=\"" + b2 + "\"", "Content-Transfer-Encoding: 7bit",
                    "", "--" + b2, "Content-Type: text/plain; charset=\"us-ascii\"", "Content-Transfer-Encoding: 7bit",
                    "", "Hello", "", "--" + b2, "Content-Type: text/html",
                    "Content-Transfer-Encoding: Quoted-Printable", "", "<p>Hello</p>=", "", "", "--" + b2,
                    "Content-Type: text/rtf", "Content-Transfer-Encoding: Quoted-Printable", "", "{\\rtf1 Hello}=", "",
                    "--" + b2 + "--", "", "--" + b, "Content-Type: application/pdf; name=\"a.pdf\"",
                    "Content-Transfer-Encoding: Base64", "Content-Disposition: attachment; filename=\"a.pdf\"", "",
                    "JVBERi0=", "", "--" + b + "--"}));
}

TEST_F(MailWriter, BoundariesAreFreshDigitsZeroToEight)
{
    message.Attachments().Add(attachment("a.bin", "application/octet-stream", mail::AttEncoding::Base64, "x"));
    std::set<std::string> seen;
    const std::regex pattern("boundary=\"([0-9]{8})\"");
    for (int i = 0; i < 50; ++i) {
        std::smatch match;
        const std::string text = message.SaveToString();
        ASSERT_TRUE(std::regex_search(text, match, pattern));
        EXPECT_EQ(std::string(match[1]).find('9'), std::string::npos);
        seen.insert(match[1]);
    }
    EXPECT_GT(seen.size(), 45u);
}

TEST_F(MailWriter, UUFormAfterTheText)
{
    message.SetEncoding(meUU);
    message.Attachments().Add(attachment("/tmp/x.bin", "application/octet-stream", mail::AttEncoding::Base64,
                                         std::string(45, 'A')));
    const std::string text = message.SaveToString();
    EXPECT_EQ(text.find("Mime-Version"), std::string::npos);
    EXPECT_EQ(text.find("Content-"), std::string::npos);
    const auto lines = linesOf(text);
    const auto begin = std::find(lines.begin(), lines.end(), "begin 600 x.bin");
    ASSERT_NE(begin, lines.end());
    EXPECT_EQ(*(begin - 1), "");
    EXPECT_EQ(*(begin - 2), "Hello");
    EXPECT_EQ((begin + 1)->size(), 61u);
    EXPECT_EQ((*(begin + 1))[0], 'M');
    EXPECT_EQ(std::vector<std::string>(begin + 2, lines.end()), (std::vector<std::string>{"`", "`", "end"}));
}

TEST_F(MailWriter, UUFormAndNamelessRecipientExactly)
{
    message.Recipients().Clear();
    message.Recipients().AddAddress("bob@host", "");
    message.SetEncoding(meUU);
    message.Attachments().Add(attachment("/tmp/x.bin", "application/octet-stream", mail::AttEncoding::Base64, "abc"));
    EXPECT_EQ(message.SaveToString(), crlf({"From:     Ann Lee <ann@host>", "To:        <bob@host>", "Subject:  Hi", "",
                                            "Hello", "", "begin 600 x.bin", "#86)C", "`", "end"}));
}

TEST(ArticleWriter, NewsHeaderBlock)
{
    TmsArticle article;
    article.Sender().SetName("J. Smith");
    article.Sender().SetAddress("js@host");
    article.SetNewsGroups("comp.test");
    article.SetSubject("Hi");
    article.Headers().Add("Newsgroups: old.group");
    article.Body() = {"text"};
    const std::string text = article.SaveToString();
    EXPECT_EQ(text.substr(0, text.find("Content-Type")),
              crlf({"From:     J. Smith <js@host>", "Newsgroups: comp.test", "Subject:  Hi", "Mime-Version: 1.0"}));
}

TEST(MailWriterStream, WritesFromTheStartOfTheStream)
{
    TmsMessage message;
    message.Sender().SetAddress("a@host");
    std::stringstream stream;
    stream << "old contents that are longer than nothing";
    message.SaveToStream(stream);
    EXPECT_EQ(stream.str().substr(0, 18), "From:      <a@host");
}

TEST(MailWriterStream, LargeMessageReachesTheStreamWholeAndInOrder)
{
    // Far more than the writer hands a stream at once, in both codings.
    for (const auto kind : {mail::AttEncoding::Base64, mail::AttEncoding::QuotedPrintable}) {
        TmsMessage message;
        message.Sender().SetAddress("a@host");
        std::string contents;
        for (int i = 0; contents.size() < 300000; ++i)
            contents += "line " + std::to_string(i) + " caf\xE9 =\r\n";
        message.Attachments().Add(attachment("big.txt", "text/plain", kind, contents));
        std::stringstream stream;
        message.SaveToStream(stream);
        const std::string text = message.SaveToString();
        EXPECT_EQ(stream.str(), text);
        TmsMessage again;
        again.LoadFromString(text);
        ASSERT_EQ(again.Attachments().Count(), 1);
        EXPECT_EQ(again.Attachments().Items(0).Contents(), contents);
    }
}

TEST(MailWriterStream, FailingStreamIsReported)
{
    TmsMessage message;
    message.Sender().SetAddress("a@host");
    message.Body() = {"text"};
    std::ofstream closed;
    EXPECT_THROW(message.SaveToStream(closed), mail::EInOutError);
}

}  // namespace
