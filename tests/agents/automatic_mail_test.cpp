// Which mail counts as automatic, so that no automatic reply answers it:
// the Auto-Submitted keyword under comments and parameters, the system's
// own reply mark, null return paths and the mail system's own senders;
// and the look-alikes a person sends, which still get their reply.
#include "agents/core/automatic_mail.h"
#include "mail/message.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using agents::AutomaticMailMark;

std::string markOf(const std::string& headers)
{
    TmsMessage message;
    message.LoadFromString(headers + "Subject: s\r\n\r\nbody\r\n");
    return AutomaticMailMark(message);
}

const std::string kFromAnn = "From: Ann Lee <ann@example.org>\r\n";

TEST(AutomaticMail, AutoSubmittedKeywordsOtherThanNo)
{
    EXPECT_EQ(markOf(kFromAnn + "Auto-Submitted: auto-generated\r\n"), "Auto-Submitted: auto-generated");
    EXPECT_EQ(markOf(kFromAnn + "auto-submitted: Auto-Replied\r\n"), "Auto-Submitted: Auto-Replied");
    // Parameters and comments around the keyword.
    EXPECT_FALSE(markOf(kFromAnn + "Auto-Submitted: auto-replied; owner-email=\"a@b\"\r\n").empty());
    EXPECT_FALSE(markOf(kFromAnn + "Auto-Submitted: (vacation (away)) auto-replied\r\n").empty());
    EXPECT_FALSE(markOf(kFromAnn + "Auto-Submitted: auto-notified\r\n").empty());
    // Folded onto a continuation line.
    EXPECT_FALSE(markOf(kFromAnn + "Auto-Submitted:\r\n auto-generated\r\n").empty());

    // "no" in any case and with comments is a person's mail; so is an
    // empty field, which names no keyword.
    EXPECT_EQ(markOf(kFromAnn + "Auto-Submitted: no\r\n"), "");
    EXPECT_EQ(markOf(kFromAnn + "Auto-Submitted: NO (sent by hand)\r\n"), "");
    EXPECT_EQ(markOf(kFromAnn + "Auto-Submitted: (auto-replied) no\r\n"), "");
    EXPECT_EQ(markOf(kFromAnn + "Auto-Submitted:\r\n"), "");
    EXPECT_EQ(markOf(kFromAnn), "");
}

TEST(AutomaticMail, TheSystemsOwnReplies)
{
    EXPECT_EQ(markOf(kFromAnn + "X-TarselAuto-Reply: True\r\n"), "X-TarselAuto-Reply: True");
    EXPECT_FALSE(markOf(kFromAnn + "x-tarselauto-reply:   TRUE  \r\n").empty());
    EXPECT_EQ(markOf(kFromAnn + "X-TarselAuto-Reply: False\r\n"), "");
    // A forward or redirect is the sender's own mail passed on.
    EXPECT_EQ(markOf(kFromAnn + "X-TarselForward: True\r\nX-TarselRedirect: True\r\n"), "");
}

TEST(AutomaticMail, BouncesByTheirReturnPath)
{
    EXPECT_EQ(markOf(kFromAnn + "Return-Path: <>\r\n"), "Return-Path: <>");
    EXPECT_FALSE(markOf(kFromAnn + "Return-Path: < > (null sender)\r\n").empty());
    EXPECT_FALSE(markOf(kFromAnn + "Return-Path: <MAILER-DAEMON@mx.example.net>\r\n").empty());
    EXPECT_FALSE(markOf(kFromAnn + "Return-Path: <Postmaster@example.net>\r\n").empty());
    EXPECT_FALSE(markOf(kFromAnn + "Return-Path: <@relay.example:mailer-daemon@example.net>\r\n").empty());
    // Only the first counts: the delivering server writes it on top.
    EXPECT_EQ(markOf(kFromAnn + "Return-Path: <ann@example.org>\r\nReturn-Path: <>\r\n"), "");
    EXPECT_FALSE(markOf(kFromAnn + "Return-Path: <>\r\nReturn-Path: <ann@example.org>\r\n").empty());
    // An ordinary return path, or an empty field without brackets.
    EXPECT_EQ(markOf(kFromAnn + "Return-Path: <ann@example.org>\r\n"), "");
    EXPECT_EQ(markOf(kFromAnn + "Return-Path:\r\n"), "");
}

TEST(AutomaticMail, BouncesByTheirSender)
{
    EXPECT_EQ(markOf("From: Mail Delivery Subsystem <MAILER-DAEMON@mx.example.net>\r\n"),
              "From: Mail Delivery Subsystem <MAILER-DAEMON@mx.example.net>");
    EXPECT_FALSE(markOf("From: Mailer-Daemon@example.net (Mail Delivery System)\r\n").empty());
    EXPECT_FALSE(markOf("From: MAILER-DAEMON\r\n").empty());
    EXPECT_FALSE(markOf("From: postmaster@example.net\r\n").empty());
    EXPECT_FALSE(markOf("From: \"System\" <\"postmaster\"@example.net>\r\n").empty());
    // A relay that wraps the whole address into its own local part.
    EXPECT_FALSE(markOf("From: <Postmaster\\@example.com@relay.example>\r\n").empty());
    // A sender without an address has nobody to answer.
    EXPECT_FALSE(markOf("From: \"Jetmail System\" <>\r\n").empty());

    // Names and look-alike addresses are people.
    EXPECT_EQ(markOf("From: postmaster <ann@example.org>\r\n"), "");
    EXPECT_EQ(markOf("From: mailer-daemon-fan@example.org\r\n"), "");
    EXPECT_EQ(markOf("From: ann@postmaster.example.org\r\n"), "");
    // No From field at all marks nothing: the reply fails as it always did.
    EXPECT_EQ(markOf("To: desk@example.org\r\n"), "");
}

TEST(AutomaticMail, TheMarkQuotesTheValueShortOnOneLine)
{
    const std::string value = "auto-generated; " + std::string(400, 'x');
    const std::string mark = markOf(kFromAnn + "Auto-Submitted: " + value + "\r\n");
    EXPECT_EQ(mark.rfind("Auto-Submitted: auto-generated; xxx", 0), 0u) << mark;
    EXPECT_LE(mark.size(), 120u);
    // Cut between characters, never inside one, and kept to one line.
    std::string wide = "auto-generated; x";
    for (int i = 0; i < 50; ++i)
        wide += "\xC3\xA9";
    const std::string cut = markOf(kFromAnn + "Auto-Submitted: " + wide + "\r\n");
    EXPECT_EQ(cut, "Auto-Submitted: " + wide.substr(0, 99));
    const std::string broken = markOf(kFromAnn + "Auto-Submitted: =?utf-8?Q?auto-generated=0D=0ABcc:_x?=\r\n");
    EXPECT_FALSE(broken.empty());
    EXPECT_EQ(broken.find_first_of("\r\n"), std::string::npos) << broken;
}

}  // namespace
