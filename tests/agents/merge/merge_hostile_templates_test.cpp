// Templates and incoming messages that are malformed or huge: the expander
// must end, must not throw, and must leave text it cannot read alone.

#include <gtest/gtest.h>

#include "merge_test_support.h"

using merge_test::expandLine;

TEST(MergeHostile, UnterminatedAndNestedCodes)
{
    TmsMessage incoming;
    EXPECT_EQ(expandLine("<<SYSTEM~DATE", incoming), "<<SYSTEM~DATE");
    EXPECT_EQ(expandLine("<<", incoming), "<<");
    EXPECT_EQ(expandLine(">>", incoming), ">>");
    EXPECT_EQ(expandLine("<<>", incoming), "<<>");
    EXPECT_EQ(expandLine("<>>", incoming), "<>>");
    EXPECT_EQ(expandLine("<<>>", incoming), "<no value provided>");
    EXPECT_EQ(expandLine("<<~>>", incoming), "<no value provided>");
    EXPECT_EQ(expandLine("<<<SYSTEM~DATE>>>", incoming), "<no value provided>>");
    EXPECT_EQ(expandLine("<<SYSTEM~<<SYSTEM~DATE>>>>", incoming), "<no value provided>>>");
    EXPECT_EQ(expandLine("<<REPLYFIELD~>>", incoming), "<no value provided>");
}

TEST(MergeHostile, HugeLinesAndManyLines)
{
    TmsMessage incoming;
    const std::string opens(1 << 20, '<');
    EXPECT_EQ(expandLine(opens, incoming), opens);

    std::string repeated;
    for (int i = 0; i < 100000; ++i)
        repeated += "<<SYSTEM~DATE>>";
    const std::string expanded = expandLine(repeated, incoming);
    EXPECT_EQ(expanded, "03/07/26" + repeated.substr(15));

    const std::string padding(1 << 20, 'p');
    EXPECT_EQ(expandLine(padding + "<<SYSTEM~TIME>>" + padding, incoming), padding + "14:05:09" + padding);

    TmsMessage outgoing;
    outgoing.Body().assign(20000, "<<SYSTEM~TIME>>");
    merge_test::expand(outgoing, incoming);
    for (const auto& line : outgoing.Body())
        ASSERT_EQ(line, "14:05:09");
}

TEST(MergeHostile, OddFormatsAndParameters)
{
    TmsMessage incoming;
    for (const std::string line : {"<<SYSTEM~FORMATDATETIME(>>", "<<SYSTEM~FORMATDATETIME()>>",
                                   "<<SYSTEM~FORMATDATETIME(\"open)>>", "<<SYSTEM~FORMATDATETIME('open)>>",
                                   "<<SYSTEM~FORMATDATETIMEXY(>>", "<<SYSTEM~FORMATDATETIME((((((>>",
                                   "<<SYSTEM~FORMATDATE>>"}) {
        SCOPED_TRACE(line);
        EXPECT_NO_THROW(expandLine(line, incoming));
    }
    const std::string longFormat = "<<SYSTEM~FORMATDATETIME(" + std::string(100000, 'y') + ")>>";
    EXPECT_NO_THROW(expandLine(longFormat, incoming));
    EXPECT_EQ(expandLine("<<SYSTEM~FORMATDATETIME()>>", incoming).find("<<"), std::string::npos);
}

TEST(MergeHostile, MalformedSenderDoesNotStopTheReply)
{
    TmsMessage incoming;
    merge_test::makeIncoming(incoming, "Ann Lee <ann@example.test", {"x"});
    std::string line;
    ASSERT_NO_THROW(line = expandLine("Dear <<REPLYHEADER~FROMNAME>>", incoming));
    EXPECT_EQ(line, "Dear Ann Lee");
    EXPECT_NO_THROW(expandLine("<<REPLYHEADER~FROMADDRESS>>", incoming));

    TmsMessage noFrom;
    EXPECT_EQ(expandLine("<<REPLYHEADER~FROMNAME>>", noFrom), "<no value provided>");
}

TEST(MergeHostile, IncomingBodyFullOfMarks)
{
    TmsMessage incoming;
    incoming.Body().assign(5000, "<<==>>=<<");
    EXPECT_EQ(expandLine("<<REPLYFIELD~<<>>", incoming), "=>>=<<");
    const std::string body = expandLine("<<REPLYHEADER~BODY>>", incoming);
    EXPECT_EQ(body.size(), 3000u);
}
