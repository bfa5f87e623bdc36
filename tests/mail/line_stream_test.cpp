// The reader's line stream: every kind of line break, going back to a line
// read before, and the room measured up to a delimiter.

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "mail/line_stream.h"

namespace {

using namespace std::string_view_literals;

std::vector<std::string> readAll(TLineStream& stream)
{
    std::vector<std::string> lines;
    std::string_view line;
    while (stream.ReadLine(line))
        lines.emplace_back(line);
    return lines;
}

TEST(LineStream, EveryKindOfBreakEndsOneLine)
{
    // CR LF, LF, CR alone, LF CR (two breaks), CR CR LF, and a last line
    // without a break.
    TLineStream stream("a\r\nb\nc\rd\n\re\r\r\nf"sv);
    EXPECT_EQ(readAll(stream), (std::vector<std::string>{"a", "b", "c", "d", "", "e", "", "f"}));
    EXPECT_TRUE(stream.Eof());

    TLineStream breaksOnly("\r\n\n\r"sv);
    EXPECT_EQ(readAll(breaksOnly), (std::vector<std::string>{"", "", ""}));
}

TEST(LineStream, GoingBackReadsTheSameLinesAgain)
{
    // CR-only text with one LF far behind: going back must not keep a
    // line feed looked up before for a later place.
    const std::string text = "one\rtwo\rthree\rfour\nfive\r\nsix";
    TLineStream stream(text);
    std::string_view line;
    ASSERT_TRUE(stream.ReadLine(line));
    const std::size_t second = stream.Position();
    const std::vector<std::string> rest = readAll(stream);
    EXPECT_EQ(rest, (std::vector<std::string>{"two", "three", "four", "five", "six"}));

    stream.Seek(second);
    EXPECT_EQ(readAll(stream), rest);
    stream.Seek(text.find("five"));
    EXPECT_EQ(readAll(stream), (std::vector<std::string>{"five", "six"}));
    stream.Restart();
    ASSERT_TRUE(stream.ReadLine(line));
    EXPECT_EQ(line, "one");
    stream.Seek(text.size() + 10);
    EXPECT_FALSE(stream.ReadLine(line));
}

TEST(LineStream, BytesBeforeCountsFromTheNextLine)
{
    TLineStream stream("head\r\nYWJj\r\nZGVm\r\n--q--\r\n"sv);
    std::string_view line;
    ASSERT_TRUE(stream.ReadLine(line));
    EXPECT_EQ(stream.BytesBefore("--q"), 12u);
    EXPECT_EQ(stream.BytesBefore("--none"), 19u);  // all that follows
    EXPECT_EQ(stream.BytesBefore(""), 0u);
    readAll(stream);
    EXPECT_EQ(stream.BytesBefore("--q"), 0u);

    // Text full of the first character, before and instead of the delimiter.
    const std::string dashes = "x-" + std::string(200, '-').replace(50, 1, "x") + "-";
    const std::string text = dashes + "--q\r\n";
    TLineStream many(text);
    EXPECT_EQ(many.BytesBefore("--q"), dashes.size());
    EXPECT_EQ(many.BytesBefore("--z"), dashes.size() + 5);
}

}  // namespace
