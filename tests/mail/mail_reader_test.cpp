// The mail file reader: MIME, text and UU reading, and that no content ever
// makes a load fail or a loaded message unsavable.

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "crlf_text.h"
#include "mail/article.h"
#include "mail/base64_coding.h"
#include "mail/mail_error.h"
#include "mail/message.h"
#include "mail/uu_coding.h"
#include "platform/event_pump.h"
#include "tests/support/temp_dir.h"

namespace {

using mailtest::crlf;

const std::string kErrorLine = "The following error has been occured while processing the message:";

std::string mimeHead(const std::string& contentType, const std::string& encoding = "7bit")
{
    return crlf({"From: Ann <ann@host>", "To: bob@host", "Subject: test", "Mime-Version: 1.0",
                 "Content-Type: " + contentType, "Content-Transfer-Encoding: " + encoding, ""});
}

// Loads, checks the load kept the message readable, saves and loads the
// saved text again into `again`.
void saveAndReload(TmsMessage& message, TmsMessage& again)
{
    const std::string saved = message.SaveToString();
    again.LoadFromString(saved);
}

bool hasErrorBody(const TmsMessage& message)
{
    return std::find(message.Body().begin(), message.Body().end(), kErrorLine) != message.Body().end();
}

TEST(MailReaderText, WithoutMimeVersionMimeFieldsAreText)
{
    for (const char* version : {"", "Mime-Version: 1.0 (x)\r\n"}) {
        TmsMessage message;
        message.LoadFromString(std::string("From: a@host\r\n") + version +
                               "Content-Type: multipart/mixed; boundary=\"q\"\r\n\r\n--q\r\nline\r\n");
        EXPECT_EQ(message.Body(), (std::vector<std::string>{"--q", "line"}));
        EXPECT_EQ(message.Attachments().Count(), 0);
    }
}

TEST(MailReaderText, UUBlocksAfterTheText)
{
    const std::string zip = "PK\x03\x04 zip bytes";
    TmsMessage message;
    message.LoadFromString(crlf({"From: a@host", "", "first", "second", "begin 644 a.zip", mail::uuEncodeBlock(zip), "`",
                                 "end", "ignored text", "begin 644 \"b c.txt\"", mail::uuEncodeBlock("b"), "end"}));
    EXPECT_EQ(message.Body(), (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(message.Encoding(), meUU);
    ASSERT_EQ(message.Attachments().Count(), 2);
    EXPECT_EQ(message.Attachments().Items(0).FileName(), "a.zip");
    EXPECT_EQ(message.Attachments().Items(0).Contents(), zip);
    EXPECT_EQ(message.Attachments().Items(1).FileName(), "b c.txt");
    EXPECT_EQ(message.Attachments().Items(1).Contents(), "b");
}

TEST(MailReaderText, TextThatLooksLikeABeginLineStaysText)
{
    TmsMessage message;
    message.LoadFromString(crlf({"From: a@host", "", "Hello,", "Begin 100 days of rest tomorrow.", "See you", "end",
                                 "Begin 2000"}));
    EXPECT_EQ(message.Encoding(), meMIME);
    EXPECT_EQ(message.Attachments().Count(), 0);
    EXPECT_EQ(message.Body(), (std::vector<std::string>{"Hello,", "Begin 100 days of rest tomorrow.", "See you", "end",
                                                        "Begin 2000"}));
    TmsMessage again;
    saveAndReload(message, again);
    EXPECT_EQ(again.Body(), message.Body());
}

TEST(MailReaderText, LastLineWithoutBreakAndLongLinesAreKept)
{
    TmsMessage message;
    const std::string huge(40000, 'h');
    message.LoadFromString("From: a@host\r\n\r\nfirst\r\n" + huge + "\r\nlast without break");
    EXPECT_EQ(message.Body(), (std::vector<std::string>{"first", huge, "last without break"}));
    TmsMessage again;
    saveAndReload(message, again);
    EXPECT_EQ(again.Body(), message.Body());
}

TEST(MailReaderMime, NamelessPartsAreNumbered)
{
    const std::string parts = crlf({"--q", "Content-Type: text/plain", "", "text", "--q", "Content-Type: image/png",
                                    "Content-Transfer-Encoding: base64", "", "aGk=", "--q", "", "plain part", "--q--"});
    TmsMessage mixed;
    mixed.LoadFromString(mimeHead("multipart/mixed; boundary=\"q\"") + parts);
    ASSERT_EQ(mixed.Attachments().Count(), 2);
    EXPECT_EQ(mixed.Body(), (std::vector<std::string>{"text"}));
    EXPECT_EQ(mixed.Attachments().Items(0).FileName(), "att.0");
    EXPECT_EQ(mixed.Attachments().Items(0).ContentType(), "image/png");
    EXPECT_EQ(mixed.Attachments().Items(0).Contents(), "hi");
    EXPECT_EQ(mixed.Attachments().Items(1).FileName(), "att.1");
    EXPECT_EQ(mixed.Attachments().Items(1).ContentType(), "text/plain");
    EXPECT_EQ(mixed.Attachments().Items(1).Contents(), "plain part\r\n");

    TmsMessage alternative;
    alternative.LoadFromString(mimeHead("multipart/alternative; boundary=\"q\"") + parts);
    EXPECT_EQ(alternative.Attachments().Items(0).FileName(), "_alt.0");
    EXPECT_EQ(alternative.Attachments().Items(1).FileName(), "_alt.1");
    EXPECT_EQ(alternative.ContentType(), "multipart/alternative");
}

TEST(MailReaderMime, NamedPartTakesTheRegisteredType)
{
    TmsMessage message;
    message.LoadFromString(mimeHead("multipart/mixed; boundary=q") +
                           crlf({"--q", "", "text", "--q", "Content-Type: application/octet-stream; name=\"a.pdf\"",
                                 "Content-Transfer-Encoding: base64", "", "JVBERi0=", "--q--"}));
    ASSERT_EQ(message.Attachments().Count(), 1);
    EXPECT_EQ(message.Attachments().Items(0).FileName(), "a.pdf");
    EXPECT_EQ(message.Attachments().Items(0).ContentType(), GetMimeTypeOfFile("a.pdf"));
    EXPECT_EQ(message.Attachments().Items(0).Encoding(), mail::AttEncoding::Base64);
    EXPECT_EQ(message.Attachments().Items(0).Contents(), "%PDF-");
}

TEST(MailReaderMime, MissingFirstDelimiterKeepsTheSource)
{
    const std::string source = mimeHead("multipart/mixed; boundary=\"q\"") + crlf({"no delimiter", "at all"});
    TmsMessage message;
    message.LoadFromString(source);
    EXPECT_EQ(message.Body(), (std::vector<std::string>{kErrorLine, "Cannot find boundary",
                                                        "The original message will be stored as an attachment"}));
    ASSERT_EQ(message.Attachments().Count(), 1);
    const TmsAttItem& original = message.Attachments().Items(0);
    EXPECT_EQ(original.FileName(), "original.eml");
    EXPECT_EQ(original.ContentType(), "message/rfc822");
    EXPECT_EQ(original.Encoding(), mail::AttEncoding::None);
    EXPECT_EQ(original.Contents(), source);
}

TEST(MailReaderMime, BadBase64PartKeepsEarlierAttachments)
{
    TmsMessage message;
    message.LoadFromString(mimeHead("multipart/mixed; boundary=\"q\"") +
                           crlf({"--q", "", "text", "--q", "Content-Type: image/png; name=\"ok.png\"",
                                 "Content-Transfer-Encoding: base64", "", "aGk=", "--q",
                                 "Content-Type: image/png; name=\"bad.png\"", "Content-Transfer-Encoding: base64", "",
                                 "a*b!", "--q--"}));
    EXPECT_EQ(message.Body(), (std::vector<std::string>{"text", kErrorLine, "Error decoding the attachment",
                                                        "The original message will be stored as an attachment"}));
    ASSERT_EQ(message.Attachments().Count(), 2);
    EXPECT_EQ(message.Attachments().Items(0).FileName(), "ok.png");
    EXPECT_EQ(message.Attachments().Items(1).FileName(), "original.eml");
}

TEST(MailReaderMime, MissingClosingDelimitersEndNormally)
{
    // After the last attachment, after a first text part alone, and in a
    // nested alternative that is never closed.
    const std::string sources[] = {
        crlf({"--q", "", "text", "--q", "Content-Type: image/png", "Content-Transfer-Encoding: base64", "", "aGk="}),
        crlf({"--q", "", "text"}),
        crlf({"--q", "", "text", "--q--"}),
        crlf({"--q", "Content-Type: multipart/alternative; boundary=\"r\"", "", "--r", "", "text", "--r",
              "Content-Type: text/html", "", "<p>text</p>", "--r--"}),
    };
    for (const std::string& parts : sources) {
        TmsMessage message;
        message.LoadFromString(mimeHead("multipart/mixed; boundary=\"q\"") + parts);
        EXPECT_FALSE(hasErrorBody(message)) << parts;
        EXPECT_EQ(message.Body(), (std::vector<std::string>{"text"})) << parts;
    }
}

TEST(MailReaderMime, SinglePartAttachmentStopsAtTheDotLine)
{
    TmsMessage message;
    message.LoadFromString(mimeHead("application/pdf; name=x.pdf", "base64") + crlf({"JVBE", "Ri0=", "", "."}));
    ASSERT_EQ(message.Attachments().Count(), 1);
    EXPECT_EQ(message.Attachments().Items(0).FileName(), "x.pdf");
    EXPECT_EQ(message.Attachments().Items(0).ContentType(), "application/pdf");
    EXPECT_EQ(message.Attachments().Items(0).Contents(), "%PDF-");
    EXPECT_TRUE(message.Body().empty());
}

TEST(MailReaderMime, SingleHtmlAndRtfPartsLoadAndSave)
{
    for (const std::string type : {"text/html", "text/rtf"}) {
        TmsMessage message;
        message.LoadFromString(mimeHead(type + "; charset=\"us-ascii\"", "quoted-printable") +
                               crlf({"<p>a=3Db</p>", "second"}));
        EXPECT_EQ(message.ContentType(), type);
        EXPECT_EQ(message.Body(), (std::vector<std::string>{"<p>a=b</p>", "second"}));
        TmsMessage again;
        saveAndReload(message, again);
        EXPECT_EQ(again.ContentType(), type);
        EXPECT_EQ(again.Body(), message.Body());
    }
}

TEST(MailReaderPoison, NoContentMakesALoadFailAndEveryLoadSaves)
{
    const std::string sources[] = {
        mimeHead("text/plain", "base64") + crlf({"not*base64"}),
        mimeHead("text/plain", "quoted-printable") + std::string(60000, 'q') + "=\r\n" + std::string(60000, 'r'),
        mimeHead("text/plain") + std::string(20000, 'x') + "\r\n",
        crlf({"From: Ann <ann@host", "To: Bob <bob@host, Eve <eve@host>", "", "body"}),
        crlf({"From: a@host", "\xFF\xFF\xFF\xFF", "", "body"}),
        mimeHead("multipart/mixed; boundary=\"q\"") + crlf({"--q", "Content-Type: text/plain", "", "x", "--q",
                                                            "Content-Transfer-Encoding: x-uuencode", "", "begin 6 a",
                                                            "M*bad", "end", "--q--"}),
        mimeHead("multipart/mixed; boundary=\"\""),
        mimeHead("multipart/alternative; boundary=\"q\"") + crlf({"--q", "Content-Type: multipart/alternative", "",
                                                                  "x"}),
        mimeHead("text/plain; name=\"..\"", "base64") + "???\r\n",
        mimeHead("text/plain", "x-uuencode") + crlf({"begin 644 t.txt", "#86)C", "`", "end"}),
        std::string("\r\n\r\n\r\n"),
        std::string(),
    };
    for (const std::string& source : sources) {
        TmsMessage message;
        ASSERT_NO_THROW(message.LoadFromString(source)) << source.substr(0, 200);
        TmsMessage again;
        ASSERT_NO_THROW(saveAndReload(message, again)) << source.substr(0, 200);
    }
}

TEST(MailReaderPoison, TolerantAddressesKeepTheRecipients)
{
    TmsMessage message;
    message.LoadFromString(crlf({"From: Ann <ann@host", "To: Bob <bob@host>, Eve <eve@host", "", "body"}));
    EXPECT_EQ(message.Sender().Address(), "ann@host");
    ASSERT_EQ(message.Recipients().Count(), 2);
    EXPECT_EQ(message.Recipients().Items(1).Address(), "eve@host");
    EXPECT_EQ(message.Body(), (std::vector<std::string>{"body"}));
}

TEST(MailReaderNames, AttachmentNamesAreMadeSafe)
{
    TmsMessage message;
    message.LoadFromString(
        mimeHead("multipart/mixed; boundary=\"q\"") +
        crlf({"--q", "", "text", "--q", "Content-Type: application/octet-stream; name=\"../../etc/passwd\"", "", "x",
              "--q", "Content-Type: application/octet-stream; name=\"..\"", "", "y", "--q",
              "Content-Type: application/octet-stream",
              "Content-Disposition: attachment; filename=\"=?us-ascii?Q?a=0Db=5C=2Fc?=\"", "", "z", "--q--"}));
    ASSERT_EQ(message.Attachments().Count(), 3);
    EXPECT_EQ(message.Attachments().Items(0).FileName(), "....etcpasswd");
    EXPECT_EQ(message.Attachments().Items(1).FileName(), "att.1");
    EXPECT_EQ(message.Attachments().Items(2).FileName().find_first_of("/\\\r\n"), std::string::npos)
        << message.Attachments().Items(2).FileName();

    TmsMessage uu;
    uu.LoadFromString(crlf({"From: a@host", "", "text", "begin 644 ../x", mail::uuEncodeBlock("b"), "end"}));
    ASSERT_EQ(uu.Attachments().Count(), 1);
    EXPECT_EQ(uu.Attachments().Items(0).FileName(), "..x");
}

TEST(MailReaderHeaders, DuplicatesAreNotMultipliedBySaving)
{
    TmsMessage message;
    message.LoadFromString(crlf({"From: a@host", "To: b@host", "To: c@host", "Subject: one", "Subject: two",
                                 "Date: Tue, 08 Dec 1998 09:30:00 +0100", "", "body"}));
    ASSERT_EQ(message.Recipients().Count(), 2);
    int headerLines = 0;
    for (int round = 0; round < 3; ++round) {
        TmsMessage again;
        saveAndReload(message, again);
        message.Clear();
        message.Assign(again);
        if (round == 0)
            headerLines = message.Headers().Count();
    }
    EXPECT_EQ(message.Recipients().Count(), 2);
    EXPECT_EQ(message.Subject(), "one");
    EXPECT_EQ(message.Headers().Count(), headerLines);
    EXPECT_EQ(message.Headers().GetFieldList("Subject").size(), 1u);
}

TEST(MailReaderHeaders, LinesWithoutColonStayWithTheirFieldThroughSaving)
{
    // Sloppy folding without a blank: the lookups read "c@host" as part of
    // To, so it must not outlive To and join whatever the writer puts last.
    // A stray line before the first field belongs to no field at all.
    TmsMessage message;
    message.LoadFromString(crlf({"stray@host", "From: a@host", "To: b@host,", "c@host", "Subject: s",
                                 "Cc: d@host", " e@host", "X-Mailer: m", "", "body"}));
    ASSERT_EQ(message.Recipients().Count(), 2);
    ASSERT_EQ(message.CC().Count(), 2);
    for (int round = 0; round < 3; ++round) {
        TmsMessage again;
        saveAndReload(message, again);
        message.Clear();
        message.Assign(again);
    }
    EXPECT_EQ(message.Recipients().Count(), 2);
    EXPECT_EQ(message.CC().Count(), 2);
    const std::string text = message.SaveToString();
    EXPECT_EQ(message.Headers().lines(), (std::vector<std::string>{"X-Mailer: m"}));
    EXPECT_EQ(text.substr(0, text.find("Subject:")),
              crlf({"From:      <a@host>", "To:        <b@host>,", "           <c@host>", "CC:        <d@host>,",
                    "           <e@host>", "X-Mailer: m"}));
}

TEST(MailReaderHeaders, AwkwardDisplayNamesRoundTrip)
{
    TmsMessage message;
    message.Sender().SetAddress("ann@host");
    message.Sender().SetName("Lee; Ann");
    const std::vector<std::string> names = {"Lee, Ann", "Dr: Who", "The \"Boss\"", "a;b", "J. Smith", "plain"};
    for (std::size_t i = 0; i < names.size(); ++i)
        message.Recipients().AddAddress("r" + std::to_string(i) + "@host", names[i]);
    message.Body() = {"x"};
    TmsMessage again;
    saveAndReload(message, again);
    EXPECT_EQ(again.Sender().Name(), "Lee; Ann");
    ASSERT_EQ(again.Recipients().Count(), static_cast<int>(names.size()));
    for (int i = 0; i < again.Recipients().Count(); ++i) {
        EXPECT_EQ(again.Recipients().Items(i).Name(), names[static_cast<std::size_t>(i)]);
        EXPECT_EQ(again.Recipients().Items(i).Address(), "r" + std::to_string(i) + "@host");
    }
}

TEST(MailReaderHeaders, SubjectWithoutBlankAfterColon)
{
    TmsMessage message;
    message.LoadFromString(crlf({"From: a@host", "Subject:Hi", "", "x"}));
    EXPECT_EQ(message.Subject(), "Hi");
}

TEST(MailReaderRoundTrip, DotsAreKeptAsTheyAre)
{
    TmsMessage message;
    message.Sender().SetAddress("a@host");
    message.Body() = {".", "..", ".x", ""};
    TmsMessage again;
    saveAndReload(message, again);
    EXPECT_EQ(again.Body(), (std::vector<std::string>{".", "..", ".x", ""}));
}

TEST(MailReaderRoundTrip, DeclaredCharSetIsReadIntoUtf8AndSavedAsUtf8)
{
    struct Case {
        std::string charset, encoding, line, body, label;
    };
    const std::string gruesse = "Gr\xC3\xBC\xC3\x9F" "e";
    const Case cases[] = {{"utf-8", "quoted-printable", "Gr=C3=BC=C3=9Fe", gruesse, "utf-8"},
                          {"windows-1252", "8bit", "Gr\xFC\xDF" "e", gruesse, "utf-8"},
                          {"iso-8859-1", "quoted-printable", "Gr=FC=DFe", gruesse, "utf-8"},
                          {"us-ascii", "7bit", "Hello", "Hello", "us-ascii"}};
    for (const Case& c : cases) {
        TmsMessage message;
        message.LoadFromString(mimeHead("text/plain; charset=\"" + c.charset + "\"", c.encoding) + crlf({c.line}));
        EXPECT_EQ(message.Body(), (std::vector<std::string>{c.body}));
        const std::string saved = message.SaveToString();
        EXPECT_NE(saved.find("charset=\"" + c.label + "\""), std::string::npos) << saved;
        TmsMessage again;
        again.LoadFromString(saved);
        EXPECT_EQ(again.Body(), message.Body());
    }
}

TEST(MailReaderRoundTrip, WrittenStructuresReadBackTheSame)
{
    TmsMessage message;
    message.Sender().SetAddress("a@host");
    message.Recipients().AddAddress("b@host", "B");
    message.Body() = {"Hello", std::string(300, 'w'), "", "end."};
    const std::pair<std::string, mail::AttEncoding> parts[] = {
        {"_alt.0", mail::AttEncoding::QuotedPrintable}, {"_alt.1", mail::AttEncoding::QuotedPrintable},
        {"notes.txt", mail::AttEncoding::None}, {"data.bin", mail::AttEncoding::Base64},
        {"long.txt", mail::AttEncoding::None}};
    for (const auto& [name, kind] : parts) {
        auto item = std::make_unique<TmsAttItem>();
        item->SetFileName(name);
        item->SetContentType(kind == mail::AttEncoding::Base64 ? "application/octet-stream" : "text/plain");
        item->SetEncoding(kind);
        item->Contents() = name == "long.txt" ? std::string(400, 'L') + "\r\n" : name + " line\r\n\r\nlast\r\n";
        if (kind == mail::AttEncoding::Base64)
            item->Contents() = std::string("\x00\xFF\r\n", 4) + std::string(114, 'b');
        message.Attachments().Add(std::move(item));
    }
    const TmsMessage* current = &message;
    TmsMessage first, second;
    for (TmsMessage* next : {&first, &second}) {
        next->LoadFromString(const_cast<TmsMessage*>(current)->SaveToString());
        EXPECT_EQ(next->Body(), message.Body());
        ASSERT_EQ(next->Attachments().Count(), message.Attachments().Count());
        for (int i = 0; i < message.Attachments().Count(); ++i) {
            EXPECT_EQ(next->Attachments().Items(i).FileName(), parts[i].first);
            EXPECT_EQ(next->Attachments().Items(i).Contents(), message.Attachments().Items(i).Contents()) << i;
        }
        current = next;
    }
}

TEST(MailReaderRoundTrip, UUMessageReadsBackWithoutGrowing)
{
    TmsMessage message;
    message.Sender().SetAddress("a@host");
    message.SetEncoding(meUU);
    message.Body() = {"text", ""};
    message.Attachments().Add(std::make_unique<TmsAttItem>());
    message.Attachments().Items(0).SetFileName("x.bin");
    message.Attachments().Items(0).Contents() = std::string(90, 'u');
    TmsMessage again;
    saveAndReload(message, again);
    EXPECT_EQ(again.Encoding(), meUU);
    EXPECT_EQ(again.Body(), message.Body());
    ASSERT_EQ(again.Attachments().Count(), 1);
    EXPECT_EQ(again.Attachments().Items(0).Contents(), std::string(90, 'u'));
}

TEST(MailReaderStream, LargeMessagesPumpEventsButNotPerLine)
{
    struct CountingPump : platform::EventPump {
        int calls = 0;
        void processEvents() override { ++calls; }
    } pump;
    TmsMessage message;
    message.Sender().SetAddress("a@host");
    message.Body() = {"text"};
    auto item = std::make_unique<TmsAttItem>();
    item->SetFileName("data.bin");
    for (unsigned i = 0; item->Contents().size() < 2 * 1024 * 1024; ++i)
        item->Contents() += static_cast<char>(i * 7919u % 251u);
    message.Attachments().Add(std::move(item));
    platform::setEventPump(&pump);
    const std::string text = message.SaveToString();
    TmsMessage again;
    again.LoadFromString(text);
    platform::setEventPump(nullptr);
    const auto lines = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    EXPECT_LE(pump.calls, 2 * lines / 64 + 4);  // each way, and once for the boundary
    ASSERT_EQ(again.Attachments().Count(), 1);
    EXPECT_EQ(again.Attachments().Items(0).Contents(), message.Attachments().Items(0).Contents());
}

TEST(MailReaderStream, ReadsTheWholeStreamFromItsStart)
{
    std::istringstream stream(crlf({"From: a@host", "", "body"}));
    std::string skipped;
    std::getline(stream, skipped);
    TmsMessage message;
    message.LoadFromStream(stream);
    EXPECT_EQ(message.Sender().Address(), "a@host");
    EXPECT_EQ(message.Body(), (std::vector<std::string>{"body"}));
}

TEST(MailFiles, SaveAndLoadThroughAFile)
{
    const test_support::TempDir dir("mail_files_");
    const std::string& folder = dir.path();
    TmsMessage message;
    message.Sender().SetAddress("a@host");
    message.Body() = {"kept"};
    message.SaveToFile(folder + "/m.eml");
    message.Body() = {"replaced"};
    message.SaveToFile(folder + "/m.eml");
    TmsMessage again;
    again.Body() = {"cleared first"};
    again.LoadFromFile(folder + "/m.eml");
    EXPECT_EQ(again.Body(), (std::vector<std::string>{"replaced"}));
    EXPECT_THROW(message.SaveToFile(folder + "/missing/m.eml"), mail::EFCreateError);
    EXPECT_THROW(again.LoadFromFile(folder + "/none.eml"), mail::EInOutError);
}

TEST(ArticleReader, KeepsNewsFields)
{
    TmsArticle article;
    article.LoadFromString(crlf({"From: a@host", "Path: news!host", "Newsgroups: comp.test", "Message-ID: <1@host>",
                                 "Subject: s", "", "body"}));
    EXPECT_EQ(article.NewsGroups(), "comp.test");
    EXPECT_EQ(article.Path(), "news!host");
    EXPECT_EQ(article.MessageID(), "<1@host>");
    EXPECT_EQ(article.Body(), (std::vector<std::string>{"body"}));
    TmsArticle again;
    again.LoadFromString(article.SaveToString());
    EXPECT_EQ(again.NewsGroups(), "comp.test");
    EXPECT_EQ(again.Headers().GetFieldList("Newsgroups").size(), 1u);
}

}  // namespace
