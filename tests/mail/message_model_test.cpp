// The message model: address reading, header lookups, the content-type rule,
// attachments, validation and the resets of Clear.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "mail/article.h"
#include "mail/mail_error.h"
#include "mail/message.h"
#include "mail/message_list.h"
#include "mail/safe_file_name.h"

namespace fs = std::filesystem;

namespace {

TmsHeaders headersOf(std::initializer_list<const char*> lines)
{
    TmsHeaders headers;
    for (const char* line : lines)
        headers.Add(line);
    return headers;
}

TEST(MailAddressText, ReadsTheUsualForms)
{
    EXPECT_EQ(ParseMailAddress("Ann Lee <ann@host>"), std::make_pair(std::string("ann@host"), std::string("Ann Lee")));
    EXPECT_EQ(ParseMailAddress("\"Lee, Ann\" <ann@host>").second, "Lee, Ann");
    EXPECT_EQ(ParseMailAddress("ann@host (Ann Lee)"), std::make_pair(std::string("ann@host"), std::string("Ann Lee")));
    EXPECT_EQ(ParseMailAddress("ann@host"), std::make_pair(std::string("ann@host"), std::string()));
    EXPECT_EQ(ParseMailAddress("<ann@host>"), std::make_pair(std::string("ann@host"), std::string()));
}

TEST(MailAddressText, OpenAngleWithoutCloseFailsUnlessReadTolerantly)
{
    TmsMailAddress address;
    try {
        TextToMailAddress("Ann <ann@host", address);
        FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Unable to parse email address");
    }
    mail::textToMailAddressLenient("Ann <ann@host", address);
    EXPECT_EQ(address.Address(), "ann@host");
    EXPECT_EQ(address.Name(), "Ann");
}

TEST(MailAddressText, QuotedNameWithEscapesAndAngleReadsBack)
{
    // What the writer makes of awkward names must come back unchanged.
    for (const std::string name : {"Lee, Ann", "Dr: Who; Ann", "Ann \"Bee\" Lee", "a<b>c", "back\\slash", "J. Smith"}) {
        const std::string written = mail::quoteDisplayName(name) + " <ann@host>";
        EXPECT_EQ(ParseMailAddress(written), std::make_pair(std::string("ann@host"), name)) << written;
    }
    EXPECT_EQ(mail::quoteDisplayName("Ann Lee"), "Ann Lee");
    EXPECT_EQ(mail::quoteDisplayName("J. Smith"), "\"J. Smith\"");
}

TEST(MailAddressText, AQuotedLocalPartKeepsItsQuotes)
{
    TmsMailAddress address;
    TextToMailAddress("<\"System Administrator\"@example.com>", address);
    EXPECT_EQ(address.Address(), "\"System Administrator\"@example.com");
    TextToMailAddress("Ann <\"ann@host\">", address);  // quotes around the whole address still go
    EXPECT_EQ(address.Address(), "ann@host");
}

TEST(MailAddressText, LongTextsAreCutWithoutSplittingACharacter)
{
    TmsMailAddress address(std::string(300, 'a'), std::string(254, 'n') + "\xC3\xA9");
    EXPECT_EQ(address.Address().size(), 255u);
    EXPECT_EQ(address.Name(), std::string(254, 'n'));
    TmsMessage message;
    message.SetSubject(std::string(254, 's') + "\xE9\xE9");  // not UTF-8: a plain byte cut
    EXPECT_EQ(message.Subject().size(), 255u);
}

// Edit hands the installed dialog a copy: only an OK changes the address,
// and without a dialog (the processors) nothing is shown or changed.
TEST(MailAddressEdit, OnlyAnOkOfTheInstalledDialogChangesTheAddress)
{
    TmsMailAddress address("ann@host", "Ann Lee");
    EXPECT_FALSE(address.Edit());
    EXPECT_EQ(address.Address(), "ann@host");

    bool ok = false;
    std::string shownName;
    TmsMailAddress::SetEditor([&](TmsMailAddress& edited) {
        shownName = edited.Name();
        edited.SetName("Bea Roe");
        edited.SetAddress(std::string(300, 'b'));
        return ok;
    });
    EXPECT_FALSE(address.Edit());
    EXPECT_EQ(shownName, "Ann Lee");
    EXPECT_EQ(address.Name(), "Ann Lee");
    EXPECT_EQ(address.Address(), "ann@host");
    ok = true;
    EXPECT_TRUE(address.Edit());
    EXPECT_EQ(address.Name(), "Bea Roe");
    EXPECT_EQ(address.Address(), std::string(255, 'b'));
    TmsMailAddress::SetEditor({});
    EXPECT_FALSE(address.Edit());
}

TEST(MessageHeaders, FieldValueUnfoldsAndDecodes)
{
    const TmsHeaders headers = headersOf({"Topic: no", "Subject: =?iso-8859-1?Q?Gr=FC=DFe?=", "X-Long: one",
                                          "  two", "Content-Type: text/plain;", "\tcharset=\"=?x?\""});
    EXPECT_EQ(headers.GetFieldValue("subject"), "Gr\xC3\xBC\xC3\x9F" "e");  // made UTF-8
    EXPECT_EQ(headers.GetFieldValue("X-Long:"), "one two");
    EXPECT_EQ(headers.GetFieldValue("Content-Type"), "text/plain; charset=\"=?x?\"");
    EXPECT_EQ(headers.GetFieldValue("To"), "");
    EXPECT_EQ(TmsHeaders().GetFieldValue("To"), "");
}

TEST(MessageHeaders, ValueWithoutBlankAfterColonIsKeptWhole)
{
    EXPECT_EQ(headersOf({"Subject:Hi"}).GetFieldValue("Subject"), "Hi");
    EXPECT_EQ(headersOf({"Subject:  Hi "}).GetFieldValue("Subject"), "Hi");
}

TEST(MessageHeaders, LongSubjectIsCutAndXUidlIsNot)
{
    const std::string long300(300, 's');
    const TmsHeaders headers = headersOf({("Subject: " + long300).c_str(), ("X-UIDL: " + long300).c_str()});
    EXPECT_EQ(headers.GetFieldValue("Subject").size(), 255u);
    EXPECT_EQ(headers.GetFieldValue("X-UIDL").size(), 300u);
}

TEST(MessageHeaders, DecodedLineBreaksNeverReachAValue)
{
    // "=0D=0A" in an encoded word would otherwise forge a header line.
    const TmsHeaders headers = headersOf({"Subject: =?us-ascii?Q?a=0D=0ABcc:_x@y=00z?=",
                                          "To: =?us-ascii?Q?Eve=0D=0A?= <eve@host>"});
    const std::string subject = headers.GetFieldValue("Subject");
    EXPECT_EQ(subject.find_first_of(std::string("\r\n\0", 3)), std::string::npos) << subject;
    for (const std::string& item : headers.GetFieldList("To"))
        EXPECT_EQ(item.find_first_of(std::string("\r\n\0", 3)), std::string::npos);
}

TEST(MessageHeaders, FieldListSplitsAtUnquotedCommasOverFoldedLines)
{
    const TmsHeaders headers = headersOf({"To: a@host, \"Lee, Ann\" <b@host>", " c@host", "Topic: x",
                                          "CC: x@host", "To: d@host,", "          \"Dr: Who, Esq.\" <e@host>"});
    EXPECT_EQ(headers.GetFieldList("TO"),
              (std::vector<std::string>{"a@host", "\"Lee, Ann\" <b@host>", "c@host", "d@host",
                                        "\"Dr: Who, Esq.\" <e@host>"}));
    EXPECT_EQ(headers.GetFieldList("CC"), (std::vector<std::string>{"x@host"}));
}

TEST(MessageHeaders, RemoveCutAndContains)
{
    TmsHeaders headers = headersOf({"To: a", " b", "Subject: s", "To: c", "", "body"});
    headers.RemoveField("to");
    EXPECT_EQ(headers.lines(), (std::vector<std::string>{"Subject: s", "To: c", "", "body"}));
    headers.CutAtBlankLine();
    EXPECT_EQ(headers.Count(), 2);
    EXPECT_TRUE(headers.ContainsText("subject", false));
    EXPECT_FALSE(headers.ContainsText("subject", true));
    EXPECT_FALSE(TmsHeaders().ContainsText("", false));
}

TEST(MessageReadHeaders, FillsPropertiesFromFields)
{
    TmsMessage message;
    message.ReadHeaders(headersOf({"From: Ann Lee <ann@host>", "To: a@host, \"Lee, Ann\" <b@host>", " c@host",
                                   "CC: d@host", "Subject: Hi", "X-Priority: 1", "Return-Receipt-To: <ann@host>"}));
    EXPECT_EQ(message.Sender().Name(), "Ann Lee");
    ASSERT_EQ(message.Recipients().Count(), 3);
    EXPECT_EQ(message.Recipients().Items(1).Name(), "Lee, Ann");
    EXPECT_EQ(message.CC().Count(), 1);
    EXPECT_EQ(message.Subject(), "Hi");
    EXPECT_EQ(message.Priority(), ptHigh);
    EXPECT_TRUE(message.ReturnReceipt());
    EXPECT_EQ(message.Headers().Count(), 7);
}

TEST(MessageReadHeaders, MalformedAddressFailsOnlyTheStrictReading)
{
    TmsMessage message;
    EXPECT_THROW(message.ReadHeaders(headersOf({"From: Ann <ann@host"})), std::runtime_error);
    message.ReadHeadersTolerantly(headersOf({"From: Ann <ann@host", "To: Bob <bob@host"}));
    EXPECT_EQ(message.Sender().Address(), "ann@host");
    EXPECT_EQ(message.Recipients().Items(0).Address(), "bob@host");
}

class ContentTypeRule : public ::testing::Test {
protected:
    TmsAttItem& attach(const std::string& name, const std::string& type = "application/octet-stream")
    {
        auto item = std::make_unique<TmsAttItem>();
        item->SetFileName(name);
        item->SetContentType(type);
        TmsAttItem& ref = *item;
        message.Attachments().Add(std::move(item));
        return ref;
    }
    TmsMessage message;
};

TEST_F(ContentTypeRule, FollowsBodyAndAttachments)
{
    message.Body() = {"Hello"};
    EXPECT_EQ(message.ContentType(), "text/plain");
    attach("/tmp/a.pdf");
    EXPECT_EQ(message.ContentType(), "multipart/mixed");
    message.Clear();
    EXPECT_EQ(message.ContentType(), "text/plain");
    attach("_htmbody.htm", "text/html");
    EXPECT_EQ(message.ContentType(), "text/html");
    message.Clear();
    attach("x.pdf", "application/pdf");
    EXPECT_EQ(message.ContentType(), "application/pdf");
    attach("y.pdf");
    EXPECT_EQ(message.ContentType(), "multipart/mixed");
}

TEST_F(ContentTypeRule, AlternativeMarkersAndUU)
{
    attach("_alt.0");
    attach("_ALT.1");
    message.Body() = {"text"};
    EXPECT_EQ(message.ContentType(), "multipart/alternative");
    message.SetEncoding(meUU);
    EXPECT_EQ(message.ContentType(), "");
    EXPECT_EQ(message.StoredContentType(), "");
}

TEST_F(ContentTypeRule, StoredTypeIsKeptInLowerCaseForBodyOnly)
{
    message.SetContentType("Text/HTML");
    message.Body() = {"<p>x</p>"};
    EXPECT_EQ(message.ContentType(), "text/html");
}

TEST(MessageAttachments, FileNameSetsTypeAndEncoding)
{
    const fs::path file = fs::temp_directory_path() / ("model_test_" + std::to_string(::getpid()) + ".txt");
    std::ofstream(file, std::ios::binary) << "line\r\n";
    TmsAttList list;
    TmsAttItem& text = list.AddFile(file.string());
    EXPECT_EQ(text.ContentType(), "text/plain");
    EXPECT_EQ(text.Encoding(), mail::AttEncoding::QuotedPrintable);
    EXPECT_EQ(text.Contents(), "line\r\n");
    EXPECT_EQ(text.FileName(), file.string());
    fs::remove(file);

    TmsAttItem unknown;
    unknown.SetFileName("data.zz-unknown-ext");
    EXPECT_EQ(unknown.ContentType(), "application/octet-stream");
    EXPECT_EQ(unknown.Encoding(), mail::AttEncoding::Base64);
    EXPECT_EQ(mail::encodingForContentType("MESSAGE/RFC822"), mail::AttEncoding::None);
    EXPECT_THROW(list.AddFile("/nonexistent/dir/file.txt"), mail::EInOutError);
}

TEST(MessageAttachments, AssignCopiesDeeply)
{
    TmsMessage source;
    source.Sender().SetAddress("ann@host");
    source.Recipients().AddAddress("bob@host", "Bob");
    source.Attachments().Add(std::make_unique<TmsAttItem>());
    source.Attachments().Items(0).Contents() = "bytes";
    source.SetPriority(ptLow);
    source.SetTag(7);
    TmsMessage copy;
    copy.Assign(source);
    source.Attachments().Items(0).Contents() = "changed";
    source.Recipients().Clear();
    EXPECT_EQ(copy.Attachments().Items(0).Contents(), "bytes");
    EXPECT_EQ(copy.Recipients().Count(), 1);
    EXPECT_EQ(copy.Priority(), ptLow);
    EXPECT_EQ(copy.Tag(), 7);
}

TEST(MessageValidate, NeedsSenderAndOneRealRecipient)
{
    TmsMessage message;
    try {
        message.Validate();
        FAIL();
    } catch (const EMessageError& error) {
        EXPECT_EQ(error.Id(), mail::kSenderRequired);
    }
    message.Sender().SetAddress("ann@host");
    message.Recipients().AddAddress("", "Only A Name");
    try {
        message.Validate();
        FAIL();
    } catch (const EMessageError& error) {
        EXPECT_EQ(error.Id(), mail::kRecipientRequired);
        EXPECT_STREQ(error.what(), "At least one Recipient, CC or BCC must be entered");
    }
    message.BCC().AddAddress("hidden@host", "");
    EXPECT_NO_THROW(message.Validate());
}

TEST(MessageValidate, ArticleNeedsNewsgroupThenSubject)
{
    TmsArticle article;
    article.Sender().SetAddress("ann@host");
    try {
        article.Validate();
        FAIL();
    } catch (const EMessageError& error) {
        EXPECT_EQ(error.Id(), mail::kNewsgroupRequired);
    }
    article.SetNewsGroups("comp.test");
    try {
        article.Validate();
        FAIL();
    } catch (const EMessageError& error) {
        EXPECT_EQ(error.Id(), mail::kSubjectRequired);
    }
}

TEST(MessageClear, ResetsEverythingALoadSets)
{
    TmsMessage message;
    message.LoadFromString("From: a@host\r\nTo: b@host\r\nCC: c@host\r\nSubject: s\r\nX-Priority: 1\r\n"
                           "Return-Receipt-To: <a@host>\r\nMime-Version: 1.0\r\n"
                           "Content-Type: text/plain; charset=\"utf-8\"\r\n"
                           "Content-Transfer-Encoding: quoted-printable\r\n\r\nbody\r\n");
    ASSERT_TRUE(message.ReturnReceipt());
    message.Clear();
    EXPECT_FALSE(message.ReturnReceipt());
    EXPECT_EQ(message.Priority(), ptNormal);
    EXPECT_EQ(message.Recipients().Count() + message.CC().Count() + message.Headers().Count(), 0);
    EXPECT_TRUE(message.Body().empty());
    EXPECT_EQ(message.Subject(), "");
    EXPECT_EQ(message.CharSet(), csUSASCII);
    EXPECT_EQ(message.DeclaredCharSet(), "");
    EXPECT_EQ(message.Sender().Address(), "");
}

TEST(SafeAttachmentName, StripsSeparatorsAndControlsAndRefusesDots)
{
    EXPECT_EQ(mail::safeAttachmentName("../../etc/passwd"), "....etcpasswd");
    EXPECT_EQ(mail::safeAttachmentName("a\\b\r\n\tc.txt"), "abc.txt");
    EXPECT_EQ(mail::safeAttachmentName(".."), "");
    EXPECT_EQ(mail::safeAttachmentName("./"), "");
    EXPECT_EQ(mail::safeAttachmentName(""), "");
    EXPECT_EQ(mail::safeAttachmentName("report.pdf"), "report.pdf");
}

TEST(SaveAttachment, WritesUnderTheSafeNameInsideTheFolder)
{
    const fs::path folder = fs::temp_directory_path() / ("model_att_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    TmsMessage message;
    for (const char* name : {"../escape.txt", ".."}) {
        auto item = std::make_unique<TmsAttItem>();
        item->SetFileName(name);
        item->Contents() = name;
        message.Attachments().Add(std::move(item));
    }
    EXPECT_EQ(message.SaveAttachment(0, folder.string()), (folder / "escape.txt").string());
    EXPECT_EQ(message.SaveAttachment(1, folder.string() + "/"), (folder / "att.1").string());
    EXPECT_FALSE(fs::exists(folder.parent_path() / "escape.txt"));
    fs::remove_all(folder);
}

TEST(MessageList, OwnsItsMessages)
{
    TmsMessageList list;
    TmsListMessage& first = list.Add();
    list.Add();
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(first.Owner(), &list);
    list.Remove(&first);
    EXPECT_EQ(list.Count(), 1);
    delete &list.Items(0);  // a message freed by itself leaves the list
    EXPECT_EQ(list.Count(), 0);
    list.Add();
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_THROW(TmsListMessage(nullptr), std::invalid_argument);
}

}  // namespace
