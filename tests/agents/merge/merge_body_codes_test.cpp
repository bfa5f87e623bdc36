// Codes in template body lines: what each command gives and how a line
// with a code is rebuilt.

#include <gtest/gtest.h>

#include <memory>

#include "merge_test_support.h"

using merge::MergeVariant;
using merge_test::expandLine;
using merge_test::makeIncoming;

namespace {

std::unique_ptr<TmsMessage> incomingFrom(std::string_view from,
                                         const std::vector<std::string>& body = {"Hello"})
{
    auto message = std::make_unique<TmsMessage>();
    makeIncoming(*message, from, body);
    return message;
}

}  // namespace

TEST(MergeReplyHeader, FromNameAndAddressInBothAddressForms)
{
    const auto angle = incomingFrom("Ann Lee <ann@example.test>");
    EXPECT_EQ(expandLine("Dear <<REPLYHEADER~FROMNAME>>,", *angle), "Dear Ann Lee,");
    EXPECT_EQ(expandLine("<<REPLYHEADER~FROMADDRESS>>", *angle), "ann@example.test");
    EXPECT_EQ(expandLine("Dear <<replyheader~fromname>>,", *angle), "Dear Ann Lee,");

    const auto parens = incomingFrom("ann@example.test (Ann Lee)");
    EXPECT_EQ(expandLine("<<REPLYHEADER~FROMNAME>>", *parens), "Ann Lee");
    EXPECT_EQ(expandLine("<<REPLYHEADER~FROMADDRESS>>", *parens), "ann@example.test");

    // A bare address has no name: the code says so rather than vanishing.
    EXPECT_EQ(expandLine("[<<REPLYHEADER~FROMNAME>>]", *incomingFrom("ann@example.test")),
              "[<no value provided>]");
}

TEST(MergeReplyHeader, NamedHeaderAnyCaseAndMissingHeader)
{
    const auto incomingPtr = incomingFrom("Ann Lee <ann@example.test>");
    const TmsMessage& incoming = *incomingPtr;
    EXPECT_EQ(expandLine("Re: <<REPLYHEADER~Message-ID>>", incoming), "Re: <m1@example.test>");
    EXPECT_EQ(expandLine("Re: <<REPLYHEADER~message-id>>", incoming), "Re: <m1@example.test>");
    EXPECT_EQ(expandLine("X: <<REPLYHEADER~X-Not-There>>.", incoming), "X: <no value provided>.");
}

TEST(MergeReplyHeader, BodyJoinedAndCutOnlyAboveFourThousand)
{
    TmsMessage incoming;
    incoming.Body() = {"first", "", "third"};
    EXPECT_EQ(expandLine("<<REPLYHEADER~BODY>>", incoming), "first\r\n\r\nthird");

    incoming.Body() = {std::string(5000, 'b')};
    EXPECT_EQ(expandLine("<<REPLYHEADER~BODY>>", incoming), std::string(3000, 'b'));

    incoming.Body() = {std::string(4000, 'c')};
    EXPECT_EQ(expandLine("<<REPLYHEADER~BODY>>", incoming), std::string(4000, 'c'));

    // Line breaks count: 2 lines of 2000 plus CR LF make 4002.
    incoming.Body() = {std::string(2000, 'd'), std::string(2000, 'e')};
    EXPECT_EQ(expandLine("<<REPLYHEADER~BODY>>", incoming).size(), 3000u);

    TmsMessage empty;
    EXPECT_EQ(expandLine("<<REPLYHEADER~BODY>>", empty), "<no value provided>");
}

TEST(MergeReplyHeader, BodyCutKeepsUtf8CharactersWhole)
{
    TmsMessage incoming;
    // "é" (2 bytes) straddles byte 3000.
    incoming.Body() = {std::string(2999, 'a') + "\xC3\xA9" + std::string(2000, 'z')};
    EXPECT_EQ(expandLine("<<REPLYHEADER~BODY>>", incoming), std::string(2999, 'a'));

    // Single-byte text (not UTF-8) is cut at exactly 3000 bytes.
    incoming.Body() = {std::string(2999, 'a') + "\xE9\xE9" + std::string(2000, 'z')};
    EXPECT_EQ(expandLine("<<REPLYHEADER~BODY>>", incoming), std::string(2999, 'a') + "\xE9");
}

TEST(MergeReplyField, LastMatchWinsPrefixMatchesAndValueAfterFirstEquals)
{
    const auto incomingPtr = incomingFrom(
        "Ann <ann@example.test>", {"ORDER=17", "order=18", "ORDER without equals", "NAMES=x", "KEY=a=b"});
    const TmsMessage& incoming = *incomingPtr;
    EXPECT_EQ(expandLine("Order <<REPLYFIELD~ORDER>>", incoming), "Order 18");
    EXPECT_EQ(expandLine("<<REPLYFIELD~NAME>>", incoming), "x");
    EXPECT_EQ(expandLine("<<REPLYFIELD~key>>", incoming), "a=b");
    EXPECT_EQ(expandLine("<<REPLYFIELD~PHONE>>", incoming), "<no value provided>");
}

TEST(MergeReplyField, ValueFromTheSenderIsNotExpandedAgain)
{
    const auto incomingPtr = incomingFrom("Ann <ann@example.test>", {"NOTE=<<SYSTEM~VERSION>>"});
    const TmsMessage& incoming = *incomingPtr;
    EXPECT_EQ(expandLine("Note: <<REPLYFIELD~NOTE>>", incoming), "Note: <<SYSTEM~VERSION>>");
}

TEST(MergeSystem, DateTimeAccountAndVersionInEitherCase)
{
    TmsMessage incoming;
    EXPECT_EQ(expandLine("<<SYSTEM~DATETIME>>", incoming), "03/07/26 14:05:09");
    EXPECT_EQ(expandLine("<<system~datetime>>", incoming), "03/07/26 14:05:09");
    EXPECT_EQ(expandLine("<<SYSTEM~DATE>>", incoming), "03/07/26");
    EXPECT_EQ(expandLine("<<SYSTEM~TIME>>", incoming), "14:05:09");
    EXPECT_EQ(expandLine("<<SYSTEM~CURRENTNODE>>", incoming), "Sales Desk");
    EXPECT_EQ(expandLine("<<SYSTEM~CurrentNodeAddress>>", incoming), "sales@example.test");
    EXPECT_EQ(expandLine("<<SYSTEM~VERSION>>", incoming),
              "Kalder Tarsel Mail Management System Version: 0.999");
    EXPECT_EQ(expandLine("<<SYSTEM~WEATHER>>", incoming), "<no value provided>");
}

TEST(MergeSystem, PreviewKnowsNoAccountAndHasItsOwnVersion)
{
    TmsMessage incoming;
    EXPECT_EQ(expandLine("<<SYSTEM~CURRENTNODE>>", incoming, MergeVariant::Preview), "<no value provided>");
    EXPECT_EQ(expandLine("<<SYSTEM~CURRENTNODEADDRESS>>", incoming, MergeVariant::Preview),
              "<no value provided>");
    EXPECT_EQ(expandLine("<<SYSTEM~VERSION>>", incoming, MergeVariant::Preview),
              "Kalder Tarsel Mail Management System Version: .9999");
    EXPECT_EQ(expandLine("<<SYSTEM~DATE>>", incoming, MergeVariant::Preview), "03/07/26");
}

TEST(MergeSystem, FormatDateTimeWithAndWithoutItsParenthesis)
{
    TmsMessage outgoing;
    outgoing.Body() = {"At <<SYSTEM~FORMATDATETIME(hh:nn)>> on <<x>>",
                       "<<SYSTEM~formatdatetime(yyyy-mm-dd)>>",
                       "<<SYSTEM~FORMATDATETIME('day' dd)>>",
                       "<<SYSTEM~FORMATDATETIME>>"};
    const auto expansion = merge_test::expand(outgoing, TmsMessage());
    EXPECT_EQ(outgoing.Body()[0], "At 14:05 on <<x>>");
    EXPECT_EQ(outgoing.Body()[1], "2026-03-07");
    EXPECT_EQ(outgoing.Body()[2], "day 07");
    EXPECT_EQ(outgoing.Body()[3], "<no value provided>");
    EXPECT_TRUE(merge_test::logHas(expansion, "Formatting date time according to hh:nn"));
    EXPECT_TRUE(merge_test::logHas(expansion,
                                   "The FORMATDATETIME command is missing paramaters, please see the "
                                   "documentation on how to use this merge code"));
}

TEST(MergeLine, CodesWithoutValueAndTwoCodesOnALine)
{
    TmsMessage incoming;
    EXPECT_EQ(expandLine("a <<EXPRESSION~1+1>> b", incoming), "a <no value provided> b");
    EXPECT_EQ(expandLine("<<SCRIPT~x>>", incoming), "<no value provided>");
    EXPECT_EQ(expandLine("<<SCRIPTCOMMAND~x>>", incoming), "<no value provided>");
    EXPECT_EQ(expandLine("<<NOTILDE>>", incoming), "<no value provided>");
    EXPECT_EQ(expandLine("<<UNKNOWN~DATE>>", incoming), "<no value provided>");

    EXPECT_EQ(expandLine("<<SYSTEM~DATE>> and <<SYSTEM~TIME>>", incoming), "03/07/26 and <<SYSTEM~TIME>>");
    EXPECT_EQ(expandLine("<<NOTILDE>> then <<SYSTEM~DATE>>", incoming), "<no value provided> then <<SYSTEM~DATE>>");
    EXPECT_EQ(expandLine("no code here", incoming), "no code here");
}

TEST(MergeLine, EarlierClosingMarkIsOrdinaryText)
{
    // Quoted text with ">>" before the code must come out once, not twice.
    TmsMessage incoming;
    EXPECT_EQ(expandLine(">> quoted <<SYSTEM~DATE>> end", incoming), ">> quoted 03/07/26 end");
    EXPECT_EQ(expandLine("a >> b << c", incoming), "a >> b << c");
}

TEST(MergeLine, LogTellsEachStep)
{
    TmsMessage outgoing;
    outgoing.Body() = {"Hi <<SYSTEM~DATE>>!", "plain"};
    const auto expansion = merge_test::expand(outgoing, TmsMessage());
    const std::vector<std::string> expected = {
        "SYSTEM~DATE",
        "Merge Template the command is: SYSTEM the param is: DATE",
        "the result of the SYSTEM merge code was  03/07/26",
        "the newline reads  Hi 03/07/26!",
    };
    EXPECT_EQ(expansion.log, expected);
}

TEST(MergeEntryPoints, ProcessorAndPreviewWrappers)
{
    TmsMessage incoming;
    TmsMessage outgoing;
    outgoing.Body() = {"<<SYSTEM~CURRENTNODE>> <<x>>", "<<SYSTEM~VERSION>>"};
    std::string toOverride = "stale";
    std::vector<std::string> log;
    ProccessMergeCodes(outgoing, incoming, toOverride, {"Help Desk", "help@example.test"},
                       [&log](const std::string& line) { log.push_back(line); });
    EXPECT_EQ(outgoing.Body()[0], "Help Desk <<x>>");
    EXPECT_EQ(outgoing.Body()[1], "Kalder Tarsel Mail Management System Version: 0.999");
    EXPECT_TRUE(toOverride.empty());
    EXPECT_FALSE(log.empty());

    outgoing.Body() = {"<<SYSTEM~CURRENTNODE>>", "<<SYSTEM~VERSION>>"};
    toOverride = "stale";
    ExpandMergeCodes(outgoing, incoming, toOverride, nullptr);  // no log is fine
    EXPECT_EQ(outgoing.Body()[0], "<no value provided>");
    EXPECT_EQ(outgoing.Body()[1], "Kalder Tarsel Mail Management System Version: .9999");
    EXPECT_TRUE(toOverride.empty());
}
