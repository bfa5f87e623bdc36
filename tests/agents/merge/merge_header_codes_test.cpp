// Codes in template header lines: only REPLYFIELD is read there, a "To:"
// line sets the recipient override, and lines are rewritten only once it is set.

#include <gtest/gtest.h>

#include "merge_test_support.h"

using merge_test::expand;

namespace {

void orderMail(TmsMessage& incoming)
{
    merge_test::makeIncoming(incoming, "Ann Lee <ann@example.test>",
                             {"Please ship it.", "EMAIL=buyer@example.test", "ORDER=42"});
}

}  // namespace

TEST(MergeHeaders, ToLineSetsOverrideAndLaterLinesAreRewritten)
{
    TmsMessage incoming;
    orderMail(incoming);
    TmsMessage outgoing;
    outgoing.Headers().lines() = {"X-Before: <<REPLYFIELD~ORDER>>", "to: <<REPLYFIELD~EMAIL>>",
                                  "X-Order: #<<REPLYFIELD~ORDER>>", "X-Date: <<SYSTEM~DATE>>",
                                  "X-Plain: no code"};
    const auto expansion = expand(outgoing, incoming);
    EXPECT_EQ(expansion.toOverride, "buyer@example.test");
    const std::vector<std::string> expected = {"X-Before: <<REPLYFIELD~ORDER>>", "to: buyer@example.test",
                                               "X-Order: #42", "X-Date: <no value provided>",
                                               "X-Plain: no code"};
    EXPECT_EQ(outgoing.Headers().lines(), expected);
    EXPECT_TRUE(merge_test::logHas(expansion, "the result of the REPLYFIELD merge code was  42"));
}

TEST(MergeHeaders, WithoutAToValueHeaderCodesStay)
{
    TmsMessage incoming;
    orderMail(incoming);
    TmsMessage outgoing;
    outgoing.Headers().lines() = {"X-Order: <<REPLYFIELD~ORDER>>", "To: <<REPLYFIELD~PHONE>>",
                                  "Reply-To: <<REPLYFIELD~EMAIL>>"};
    const auto before = outgoing.Headers().lines();
    const auto expansion = expand(outgoing, incoming);
    EXPECT_TRUE(expansion.toOverride.empty());
    EXPECT_EQ(outgoing.Headers().lines(), before);
}

TEST(MergeHeaders, OverrideStartsEmptyAndBodyCodesNeverSetIt)
{
    TmsMessage incoming;
    orderMail(incoming);
    TmsMessage outgoing;
    outgoing.Body() = {"To: <<REPLYFIELD~EMAIL>>"};
    merge::MergeContext context;
    std::string toOverride = "left@over.test";
    merge::expandMergeCodes(outgoing, incoming, toOverride, context);
    EXPECT_TRUE(toOverride.empty());
    EXPECT_EQ(outgoing.Body()[0], "To: buyer@example.test");
}

TEST(MergeHeaders, TemplateReadFromMailText)
{
    // A template as the composer saves it, read back through the mail reader.
    TmsMessage outgoing;
    merge_test::loadMessage(outgoing,
                            "From: Sales Desk <sales@example.test>\n"
                            "To: <<REPLYFIELD~EMAIL>>\n"
                            "Subject: Your order\n"
                            "X-Order: <<REPLYFIELD~ORDER>>\n"
                            "\n"
                            "Dear <<REPLYHEADER~FROMNAME>>,\n"
                            "order <<REPLYFIELD~ORDER>> ships\n"
                            "on <<SYSTEM~FORMATDATETIME(dd/mm/yyyy)>>.\n"
                            "-- <<SYSTEM~CURRENTNODE>>\n");
    TmsMessage incoming;
    orderMail(incoming);
    const auto expansion = expand(outgoing, incoming);
    EXPECT_EQ(expansion.toOverride, "buyer@example.test");
    ASSERT_GE(outgoing.Body().size(), 4u);
    EXPECT_EQ(outgoing.Body()[0], "Dear Ann Lee,");
    EXPECT_EQ(outgoing.Body()[1], "order 42 ships");
    EXPECT_EQ(outgoing.Body()[2], "on 07/03/2026.");
    EXPECT_EQ(outgoing.Body()[3], "-- Sales Desk");
    const auto& headers = outgoing.Headers();
    EXPECT_EQ(headers.GetFieldValue("X-Order"), "42");
}
