// Base64, UU and quoted-printable as the mail files carry them.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "mail/base64_coding.h"
#include "mail/mail_error.h"
#include "mail/quoted_printable.h"
#include "mail/uu_coding.h"
#include "platform/event_pump.h"

namespace {

using Lines = std::vector<std::string>;

std::string randomBytes(std::size_t size, unsigned seed)
{
    std::mt19937 gen(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string out(size, '\0');
    for (char& ch : out)
        ch = static_cast<char>(byte(gen));
    return out;
}

Lines collect(void (*encode)(std::string_view, const std::function<void(std::string_view)>&),
              std::string_view data)
{
    Lines lines;
    encode(data, [&](std::string_view line) { lines.emplace_back(line); });
    return lines;
}

// ---- base64 ----

TEST(Base64Coding, EncodesShortGroupsWithPadding)
{
    EXPECT_EQ(mail::base64EncodeBlock("abc"), "YWJj");
    EXPECT_EQ(mail::base64EncodeBlock("ab"), "YWI=");
    EXPECT_EQ(mail::base64EncodeBlock("a"), "YQ==");
    EXPECT_EQ(mail::base64EncodeBlock(""), "");
    EXPECT_EQ(mail::base64EncodeBlock("foobar"), "Zm9vYmFy");
    EXPECT_EQ(mail::base64EncodeBlock(std::string("\xff\xfe\x00", 3)), "//4A");
}

TEST(Base64Coding, WriterLinesAre76CharactersAndEndOnAShortBlock)
{
    std::string data = randomBytes(100, 1);
    Lines lines = collect(mail::base64EncodeLines, data);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), 76u);
    EXPECT_EQ(lines[1].size(), 60u);  // 43 bytes

    // A whole number of blocks ends with an empty line, the empty content too.
    lines = collect(mail::base64EncodeLines, randomBytes(114, 2));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(collect(mail::base64EncodeLines, ""), Lines{""});
}

TEST(Base64Coding, DecodesWhatItEncodesForEveryTailLength)
{
    for (std::size_t size = 0; size <= 120; ++size) {
        std::string data = randomBytes(size, static_cast<unsigned>(size));
        std::string decoded;
        for (const std::string& line : collect(mail::base64EncodeLines, data))
            decoded += mail::base64DecodeLine(line);
        EXPECT_EQ(decoded, data) << "size " << size;
    }
}

TEST(Base64Coding, DecodingSkipsWhitespaceThatRealMailCarries)
{
    EXPECT_EQ(mail::base64DecodeLine("YW Jj"), "abc");
    EXPECT_EQ(mail::base64DecodeLine("YWJj\r"), "abc");
    EXPECT_EQ(mail::base64DecodeLine("\tYWI= "), "ab");
    EXPECT_EQ(mail::base64DecodeLine("  "), "");
}

TEST(Base64Coding, DecodingHandlesPaddingAndShortGroups)
{
    EXPECT_EQ(mail::base64DecodeLine("YQ=="), "a");
    EXPECT_EQ(mail::base64DecodeLine("YQ"), "a");       // padding dropped by a relay
    EXPECT_EQ(mail::base64DecodeLine("YWI"), "ab");
    EXPECT_EQ(mail::base64DecodeLine("YQ==YWI="), "aab");  // two encodings run together
    EXPECT_EQ(mail::base64DecodeLine("Y"), "");
}

TEST(Base64Coding, InvalidCharacterRaisesTheMailInOutError)
{
    try {
        mail::base64DecodeLine("YW!j");
        FAIL() << "no exception";
    } catch (const mail::EInOutError& error) {
        EXPECT_STREQ(error.what(), "Invalid Character");
    }
    EXPECT_THROW(mail::base64DecodeLine("YWJj\x80"), mail::EMailError);
    EXPECT_THROW(mail::base64DecodeLine("YW-j"), mail::EMailError);
}

TEST(Base64Coding, DecoderJoinsGroupsSplitBetweenLines)
{
    mail::Base64Decoder decoder;
    std::string out;
    decoder.feed("YWJjZG", out);
    decoder.feed("VmZ2", out);
    decoder.feed("g=", out);
    decoder.finish(out);
    EXPECT_EQ(out, "abcdefgh");
}

TEST(Base64Coding, DecoderReadsAnySplitAndSpacingOfTheSameText)
{
    // Lines cut anywhere and blanks put anywhere shift where the groups of
    // four fall; a padded group in the middle restarts them.
    const std::string data = randomBytes(300, 7);
    std::string encoded;
    for (const std::string& line : collect(mail::base64EncodeLines, data))
        encoded += line;
    encoded += "YQ==" + encoded;
    const std::string expected = data + "a" + data;
    std::mt19937 gen(11);
    for (int round = 0; round < 200; ++round) {
        mail::Base64Decoder decoder;
        std::string out;
        std::size_t pos = 0;
        while (pos < encoded.size()) {
            const std::size_t take = std::uniform_int_distribution<std::size_t>(0, 90)(gen);
            std::string line = encoded.substr(pos, take);
            if (!line.empty() && gen() % 3 == 0)
                line.insert(gen() % line.size(), gen() % 2 == 0 ? " " : "\t");
            decoder.feed(line, out);
            pos += take;
        }
        decoder.finish(out);
        ASSERT_EQ(out, expected) << "round " << round;
    }
}

TEST(Base64Coding, InvalidCharacterAfterWholeGroupsLeavesTheOutputAsItWas)
{
    mail::Base64Decoder decoder;
    std::string out = "kept";
    EXPECT_THROW(decoder.feed("YWJjZGVmYWJj!Zw==", out), mail::EInOutError);
    EXPECT_EQ(out, "kept");
}

TEST(Base64Coding, EncodersPumpEventsButNotPerLine)
{
    struct CountingPump : platform::EventPump {
        int calls = 0;
        void processEvents() override { ++calls; }
    } pump;
    platform::setEventPump(&pump);
    std::string data(2 * 1024 * 1024, 'x');
    std::size_t lines = 0;
    mail::base64EncodeLines(data, [&](std::string_view) { ++lines; });
    mail::uuEncodeLines(data, [&](std::string_view) { ++lines; });
    mail::quotedPrintableEncode(data);
    platform::setEventPump(nullptr);
    EXPECT_LE(static_cast<std::size_t>(pump.calls), lines / 64 + 3);
}

// ---- UU ----

TEST(UUCoding, FullBlockIsAnMLineOf61Characters)
{
    std::string line = mail::uuEncodeBlock(std::string(45, 'a'));
    EXPECT_EQ(line.size(), 61u);
    EXPECT_EQ(line[0], 'M');
    EXPECT_EQ(mail::uuEncodeBlock(""), "`");
    EXPECT_EQ(mail::uuEncodeBlock("Cat"), "#0V%T");
}

TEST(UUCoding, ZeroIsWrittenAsGraveAccentNeverABlank)
{
    EXPECT_EQ(mail::uuEncodeBlock(std::string(3, '\0')), "#````");
    std::string line = mail::uuEncodeBlock(randomBytes(45, 7) + std::string());
    EXPECT_EQ(line.find(' '), std::string::npos);
}

TEST(UUCoding, ShortLastGroupHasNoFillerCharacters)
{
    EXPECT_EQ(mail::uuEncodeBlock("C"), "!0P");
    EXPECT_EQ(mail::uuEncodeBlock("Ca"), "\"0V$");
}

TEST(UUCoding, WriterLinesEndOnAShortBlock)
{
    Lines lines = collect(mail::uuEncodeLines, randomBytes(50, 3));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1][0], '%');  // 5 bytes left
    lines = collect(mail::uuEncodeLines, randomBytes(90, 4));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2], "`");
}

TEST(UUCoding, DecodesWhatItEncodes)
{
    for (std::size_t size = 0; size <= 100; ++size) {
        std::string data = randomBytes(size, 100 + static_cast<unsigned>(size));
        std::string decoded;
        for (const std::string& line : collect(mail::uuEncodeLines, data))
            decoded += mail::uuDecodeLine(line);
        EXPECT_EQ(decoded, data) << "size " << size;
    }
}

TEST(UUCoding, DecodingReadsOldAndDamagedLines)
{
    // Older encoders write 0 as a blank.
    EXPECT_EQ(mail::uuDecodeLine("#    "), std::string(3, '\0'));
    // A relay stripped the trailing blanks: the group is filled with zeros.
    EXPECT_EQ(mail::uuDecodeLine("#0P"), std::string("C\0\0", 3));
    // Characters past the byte count are no data.
    EXPECT_EQ(mail::uuDecodeLine("!0P``"), "C");
    EXPECT_EQ(mail::uuDecodeLine(""), "");
    EXPECT_EQ(mail::uuDecodeLine("`"), "");
}

TEST(UUCoding, InvalidCharacterRaises)
{
    EXPECT_THROW(mail::uuDecodeLine("#0v%T"), mail::EInOutError);
    EXPECT_THROW(mail::uuDecodeLine("a"), mail::EInOutError);
}

// ---- quoted-printable ----

TEST(QuotedPrintable, EncodesControlEqualsAndEightBitBytes)
{
    EXPECT_EQ(mail::quotedPrintableEncode("a=b"), Lines{"a=3Db"});
    EXPECT_EQ(mail::quotedPrintableEncode("\t"), Lines{"=09"});
    EXPECT_EQ(mail::quotedPrintableEncode("\xE9"), Lines{"=E9"});
    EXPECT_EQ(mail::quotedPrintableEncode("end "), Lines{"end "});  // blanks never encoded
    EXPECT_EQ(mail::quotedPrintableEncode(""), Lines{});
}

TEST(QuotedPrintable, CutsLongParagraphsAtTheLastBlank)
{
    std::string text = "The quick brown fox jumps over the lazy dog and keeps running far away";
    EXPECT_EQ(mail::quotedPrintableEncode(text),
              (Lines{"The quick brown fox jumps over the lazy dog and keeps running far=", " away"}));
    // Without a blank the cut is after 65 characters.
    EXPECT_EQ(mail::quotedPrintableEncode(std::string(65, 'x')), (Lines{std::string(65, 'x') + "=", ""}));
    EXPECT_EQ(mail::quotedPrintableEncode(std::string(64, 'x')), Lines{std::string(64, 'x')});
    // The cut counts source characters, so an escaped piece is longer.
    Lines lines = mail::quotedPrintableEncode(std::string(70, '\xE9'));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), 65u * 3 + 1);
    EXPECT_EQ(lines[1], "=E9=E9=E9=E9=E9");
}

TEST(QuotedPrintable, EveryKindOfLineBreakEndsOneParagraph)
{
    EXPECT_EQ(mail::quotedPrintableEncode("a\r\nb\nc\rd\n\re"), (Lines{"a", "b", "c", "d", "e"}));
    EXPECT_EQ(mail::quotedPrintableEncode("a\r\rb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(mail::quotedPrintableEncode("abc\r\n"), Lines{"abc"});
    // A break that is the very last byte stays in the text.
    EXPECT_EQ(mail::quotedPrintableEncode("abc\n"), Lines{"abc=0A"});
}

TEST(QuotedPrintable, ParagraphsOfAnyLengthEncodeAndDecode)
{
    std::string text;
    for (int i = 0; i < 20000; ++i)
        text += "word" + std::to_string(i) + (i % 7 == 0 ? "\xE9 " : " ");
    ASSERT_GT(text.size(), 100000u);
    Lines lines = mail::quotedPrintableEncode(text);
    for (const std::string& line : lines)
        EXPECT_LE(line.size(), 65u * 3 + 1);
    EXPECT_EQ(mail::quotedPrintableDecode(lines), text + "\r\n");
}

TEST(QuotedPrintable, SoftBreaksJoinLinesAndHardOnesEndWithCrLf)
{
    EXPECT_EQ(mail::quotedPrintableDecode({"abc=", "def"}), "abcdef\r\n");
    EXPECT_EQ(mail::quotedPrintableDecode({"one", "", "two"}), "one\r\n\r\ntwo\r\n");
    // Blanks a relay put after the soft break are not text.
    EXPECT_EQ(mail::quotedPrintableDecode({"abc= \t", "def"}), "abcdef\r\n");
    // End-of-file byte: no line break after it.
    EXPECT_EQ(mail::quotedPrintableDecode({"a=1A"}), "a\x1a");
}

TEST(QuotedPrintable, DecodingKeepsWhatIsNoEscape)
{
    EXPECT_EQ(mail::quotedPrintableDecode({"a=3Db=3d"}), "a=b=\r\n");
    EXPECT_EQ(mail::quotedPrintableDecode({"100=ZZ"}), "100=ZZ\r\n");
    EXPECT_EQ(mail::quotedPrintableDecode({"x=4"}), "x=4\r\n");
    // Escapes side by side, at the start, and just before a soft break.
    EXPECT_EQ(mail::quotedPrintableDecode({"==41=42"}), "=AB\r\n");
    EXPECT_EQ(mail::quotedPrintableDecode({"=4=41"}), "=4A\r\n");
    EXPECT_EQ(mail::quotedPrintableDecode({"=41"}), "A\r\n");
    EXPECT_EQ(mail::quotedPrintableDecode({"a=41=", "b"}), "aAb\r\n");
}

TEST(QuotedPrintable, TextAfterAFinalSoftBreakIsKept)
{
    EXPECT_EQ(mail::quotedPrintableDecode({"abc="}), "abc");
    EXPECT_EQ(mail::quotedPrintableDecode({"abc=", "de="}), "abcde");
}

TEST(QuotedPrintable, LongLinesAreDecodedWhole)
{
    std::string line(1000, 'q');
    EXPECT_EQ(mail::quotedPrintableDecode({line}), line + "\r\n");
}

TEST(QuotedPrintable, DecoderFedLineByLineMatchesAllAtOnce)
{
    Lines lines = mail::quotedPrintableEncode(randomBytes(5000, 9));
    std::string whole = mail::quotedPrintableDecode(lines);
    mail::QuotedPrintableDecoder decoder;
    std::string fed;
    for (const std::string& line : lines)
        decoder.feed(line, fed);
    decoder.finish(fed);
    EXPECT_EQ(fed, whole);
}

TEST(QuotedPrintable, ObjectAppendsToItsBufferAndList)
{
    std::string bytes = "a=b\r\nc";
    Lines lines = {"kept"};
    TQuotedPrintable(bytes, lines).Encode();
    EXPECT_EQ(lines, (Lines{"kept", "a=3Db", "c"}));

    std::string decoded = "x";
    Lines encoded = {"y=", "z"};
    TQuotedPrintable(decoded, encoded).Decode();
    EXPECT_EQ(decoded, "xyz\r\n");
}

}  // namespace
