// Mail read into UTF-8: bodies from the charset their part declares,
// header texts and attachment names from encoded words, parameter forms or
// raw bytes, and templates written before all this still load.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "crlf_text.h"
#include "mail/message.h"

namespace {

using mailtest::crlf;
using Lines = std::vector<std::string>;

const std::string kGruesse = "Gr\xC3\xBC\xC3\x9F" "e";
const std::string kPrivet = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";

std::string mime(const std::string& type, const std::string& encoding, const Lines& body)
{
    std::string text = crlf({"From: a@host", "Mime-Version: 1.0", "Content-Type: " + type,
                             "Content-Transfer-Encoding: " + encoding, ""});
    for (const std::string& line : body)
        text += line + "\r\n";
    return text;
}

TEST(MailCharsets, BodiesAreReadFromTheirCharsetIntoUtf8)
{
    struct Case {
        std::string type, encoding;
        Lines raw, body;
    };
    const Case cases[] = {
        {"text/plain; charset=koi8-r", "8bit", {"\xF0\xD2\xC9\xD7\xC5\xD4"}, {kPrivet}},
        {"text/plain; charset=\"iso-8859-1\"", "quoted-printable", {"Gr=FC=DFe", "zwei"}, {kGruesse, "zwei"}},
        {"text/plain; charset=windows-1252", "base64", {"k0dy/N9llA=="}, {"\xE2\x80\x9C" + kGruesse + "\xE2\x80\x9D"}},
        {"text/plain; charset=iso-2022-jp", "7bit", {"\x1B$B$3$s\x1B(B"}, {"\xE3\x81\x93\xE3\x82\x93"}},
        // Undeclared, or declared ASCII: UTF-8 when valid, else Windows-1252.
        {"text/plain", "8bit", {"Gr\xFC\xDF" "e"}, {kGruesse}},
        {"text/plain; charset=us-ascii", "8bit", {kGruesse}, {kGruesse}},
        {"text/plain; charset=x-unknown", "8bit", {"Gr\xFC\xDF" "e"}, {kGruesse}},
        // The first part of a multipart message.
        {"multipart/mixed; boundary=q", "7bit",
         {"--q", "Content-Type: text/plain; charset=koi8-r", "", "\xF0\xD2\xC9\xD7\xC5\xD4", "--q--"},
         {kPrivet}},
    };
    for (const Case& c : cases) {
        TmsMessage message;
        message.LoadFromString(mime(c.type, c.encoding, c.raw));
        EXPECT_EQ(message.Body(), c.body) << c.type;
    }
    TmsMessage plain;
    plain.LoadFromString(crlf({"From: a@host", "", "Gr\xFC\xDF" "e", kGruesse}));
    EXPECT_EQ(plain.Body(), (Lines{kGruesse, kGruesse}));
}

TEST(MailCharsets, HeaderTextsAreReadIntoUtf8WhateverCarriedThem)
{
    TmsMessage message;
    message.LoadFromString(crlf({"From: =?utf-8?B?w4RraWxsZSBTw7hyZW5zZW4=?= <ak@host>",
                                 "To: =?iso-8859-1?Q?Andr=E9_M=FCller?= <am@host>, J\xF6rg <j@host>",
                                 "Cc: \"" + kGruesse + "\" <g@host>", "Subject: =?koi8-r?B?8NLJ18XU?=", "", "x"}));
    EXPECT_EQ(message.Sender().Name(), "\xC3\x84kille S\xC3\xB8rensen");
    ASSERT_EQ(message.Recipients().Count(), 2);
    EXPECT_EQ(message.Recipients().Items(0).Name(), "Andr\xC3\xA9 M\xC3\xBCller");
    EXPECT_EQ(message.Recipients().Items(1).Name(), "J\xC3\xB6rg");
    EXPECT_EQ(message.CC().Items(0).Name(), kGruesse);
    EXPECT_EQ(message.Subject(), kPrivet);
}

TEST(MailCharsets, ATriggerTextIsFoundWhateverCharsetTheHeaderCameIn)
{
    for (const std::string& subject :
         {std::string("=?iso-8859-1?Q?Gr=FC=DFe_aus_Bonn?="), std::string("Gr\xFC\xDF" "e aus Bonn"),
          std::string("=?utf-8?b?R3LDvMOfZQ==?= aus Bonn"), kGruesse + " aus Bonn"}) {
        TmsMessage message;
        message.LoadFromString(crlf({"From: a@host", "Subject: " + subject, "", "x"}));
        EXPECT_TRUE(message.Headers().ContainsText(kGruesse + " aus", false)) << subject;
        EXPECT_TRUE(message.Headers().ContainsText("GR", false)) << subject;
        EXPECT_EQ(message.Headers().GetFieldValue("Subject"), kGruesse + " aus Bonn");
    }
}

TEST(MailCharsets, AttachmentNamesAreReadIntoUtf8)
{
    const std::string parts = crlf({"--q", "", "text", "--q",
                                    "Content-Type: application/octet-stream", "Content-Transfer-Encoding: base64",
                                    "Content-Disposition: attachment;", " filename*0*=utf-8''Gr%C3%BC;",
                                    " filename*1*=%C3%9Fe.bin", "", "aGk=", "--q",
                                    "Content-Type: application/octet-stream; name=\"=?utf-8?B?R3LDvMOfZS5iaW4=?=\"",
                                    "Content-Transfer-Encoding: base64", "", "aGk=", "--q",
                                    "Content-Type: application/octet-stream; name=\"Gr\xFC\xDF" "e.bin\"",
                                    "Content-Transfer-Encoding: base64", "", "aGk=", "--q--"});
    TmsMessage message;
    message.LoadFromString(mime("multipart/mixed; boundary=q", "7bit", {}) + parts);
    ASSERT_EQ(message.Attachments().Count(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(message.Attachments().Items(i).FileName(), kGruesse + ".bin") << i;

    TmsMessage uu;
    uu.LoadFromString(crlf({"From: a@host", "", "text", "begin 644 Gr\xFC\xDF" "e.txt", "\"86)C", "`", "end"}));
    ASSERT_EQ(uu.Attachments().Count(), 1);
    EXPECT_EQ(uu.Attachments().Items(0).FileName(), kGruesse + ".txt");
}

TEST(MailCharsets, TextPartsKeepTheLabelOfTheirBytes)
{
    TmsMessage message;
    message.LoadFromString(mime("multipart/alternative; boundary=q", "7bit",
                                {"--q", "", "text", "--q", "Content-Type: text/html; charset=iso-8859-1", "",
                                 "<p>Gr\xFC\xDF" "e</p>", "--q--"}));
    ASSERT_EQ(message.Attachments().Count(), 1);
    EXPECT_EQ(message.Attachments().Items(0).Contents(), "<p>Gr\xFC\xDF" "e</p>\r\n");
    const std::string saved = message.SaveToString();
    EXPECT_NE(saved.find("Content-Type: text/html; charset=\"iso-8859-1\"\r\n"), std::string::npos) << saved;
}

// The label goes into mail again: one that holds more than a charset name
// could add parameters or fields of its own.
TEST(MailCharsets, ALabelThatIsNoCharsetNameIsNotWrittenAgain)
{
    for (const std::string& label : {std::string("\"iso-8859-1\\\"; name=\\\"x.exe\""), std::string("\"latin 1\""),
                                     std::string(41, 'a')}) {
        TmsMessage message;
        message.LoadFromString(mime("multipart/alternative; boundary=q", "7bit",
                                    {"--q", "", "text", "--q", "Content-Type: text/html; charset=" + label, "",
                                     "<p>hi</p>", "--q--"}));
        ASSERT_EQ(message.Attachments().Count(), 1) << label;
        EXPECT_EQ(message.Attachments().Items(0).ContentType(), "text/html") << label;
        const std::string saved = message.SaveToString();
        EXPECT_NE(saved.find("Content-Type: text/html\r\n"), std::string::npos) << saved;
        EXPECT_EQ(saved.find("x.exe"), std::string::npos) << saved;
    }
}

TEST(MailCharsets, TemplatesWrittenBeforeStillLoad)
{
    // As the composer saved them: UTF-8 typed text labelled us-ascii, a raw
    // 8-bit subject, or a label of the text's old bytes.
    const std::string templates[] = {
        crlf({"From:      <desk@host>", "Subject:  " + kGruesse, "Mime-Version: 1.0",
              "Content-Type: text/plain; charset=\"us-ascii\"", "Content-Transfer-Encoding: 7bit", "",
              "Dear " + kGruesse}),
        crlf({"From:      <desk@host>", "Subject:  Gr\xFC\xDF" "e", "Mime-Version: 1.0",
              "Content-Type: text/plain; charset=\"windows-1252\"", "Content-Transfer-Encoding: quoted-printable",
              "", "Dear Gr=FC=DFe"}),
        crlf({"From:      <desk@host>", "Subject:  Gr\xFC\xDF" "e", "", "Dear Gr\xFC\xDF" "e"}),
    };
    for (const std::string& text : templates) {
        TmsMessage message;
        message.LoadFromString(text);
        EXPECT_EQ(message.Subject(), kGruesse) << text;
        EXPECT_EQ(message.Body(), Lines{"Dear " + kGruesse}) << text;
        TmsMessage again;
        again.LoadFromString(message.SaveToString());
        EXPECT_EQ(again.Subject(), kGruesse);
        EXPECT_EQ(again.Body(), message.Body());
    }
}

}  // namespace
