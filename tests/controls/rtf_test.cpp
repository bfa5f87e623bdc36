// The log files' rich text: what the writer writes the reader reads back,
// files from elsewhere keep their text and formats, and hostile input
// never crashes.

#include <gtest/gtest.h>

#include <QTextDocument>

#include <string>

#include "controls/rich_text_document.h"
#include "platform/rtf_reader.h"
#include "platform/rtf_writer.h"

using platform::ReadRtf;
using platform::RichText;
using platform::RichTextRun;
using platform::WriteRtf;

namespace {

RichTextRun run(std::string text)
{
    RichTextRun r;
    r.text = std::move(text);
    return r;
}

RichText sample()
{
    RichText doc;
    doc.paragraphs.resize(4);
    doc.paragraphs[0].runs.push_back(run("12/09/26 05:00:01 -- Service Started"));
    RichTextRun bold = run("bold {braces} \\ back");
    bold.bold = true;
    RichTextRun red = run(" red italic");
    red.italic = true;
    red.hasColor = true;
    red.color = 0xFF0000;
    red.fontSize = 14;
    doc.paragraphs[1].runs = {bold, red};
    // paragraph 2 stays empty
    RichTextRun under = run("Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC \xF0\x9F\x93\xA7\ttab");
    under.underline = true;
    doc.paragraphs[3].runs = {under};
    return doc;
}

void expectSame(const RichText& a, const RichText& b)
{
    ASSERT_EQ(a.paragraphs.size(), b.paragraphs.size());
    for (std::size_t p = 0; p < a.paragraphs.size(); ++p) {
        ASSERT_EQ(a.paragraphs[p].runs.size(), b.paragraphs[p].runs.size()) << "paragraph " << p;
        for (std::size_t r = 0; r < a.paragraphs[p].runs.size(); ++r) {
            const RichTextRun& x = a.paragraphs[p].runs[r];
            const RichTextRun& y = b.paragraphs[p].runs[r];
            EXPECT_EQ(x.text, y.text);
            EXPECT_TRUE(x.SameFormat(y)) << "paragraph " << p << " run " << r;
        }
    }
}

}  // namespace

TEST(RtfRoundTrip, WriterOutputReadsBackWithTextAndFormats)
{
    const RichText doc = sample();
    const std::string rtf = WriteRtf(doc);
    EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
    // Only ASCII in the file: everything else is escaped.
    for (char c : rtf)
        EXPECT_LT(static_cast<unsigned char>(c), 0x80);
    expectSame(doc, ReadRtf(rtf));
}

TEST(RtfRoundTrip, ThroughATextDocumentAndBack)
{
    const RichText doc = sample();
    QTextDocument document;
    SetDocumentRichText(document, ReadRtf(WriteRtf(doc)));
    EXPECT_EQ(document.blockCount(), 4);
    expectSame(doc, ReadRtf(WriteRtf(DocumentRichText(document))));
}

TEST(RtfRoundTrip, EmptyLogStaysEmpty)
{
    QTextDocument document;
    EXPECT_TRUE(DocumentRichText(document).paragraphs.empty());
    EXPECT_TRUE(ReadRtf(WriteRtf(RichText{})).paragraphs.empty());
}

TEST(RtfRoundTrip, TextThatIsNotUtf8IsReadAsWindows1252)
{
    RichText doc;
    doc.paragraphs.resize(1);
    doc.paragraphs[0].runs.push_back(run("caf\xE9 \x80"));
    EXPECT_EQ(ReadRtf(WriteRtf(doc)).PlainText(), "caf\xC3\xA9 \xE2\x82\xAC");
}

TEST(RtfReader, ReadsWhatARichEditControlWrites)
{
    const std::string file =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}\r\n"
        "{\\colortbl ;\\red0\\green0\\blue255;}\r\n"
        "{\\*\\generator Riched20 5.50.99.2050;}\\viewkind4\\uc1\\pard\\f0\\fs20 "
        "01/02/03 10:00:00 -- \\cf1\\b Error-\\b0 caf\\'e9\\cf0\\par\r\n"
        "second \\u8364? line\\par\r\n}\r\n";
    const RichText doc = ReadRtf(file);
    ASSERT_EQ(doc.paragraphs.size(), 2u);
    EXPECT_EQ(doc.paragraphs[0].PlainText(), "01/02/03 10:00:00 -- Error-caf\xC3\xA9");
    EXPECT_EQ(doc.paragraphs[1].PlainText(), "second \xE2\x82\xAC line");
    const auto& runs = doc.paragraphs[0].runs;
    ASSERT_GE(runs.size(), 3u);
    EXPECT_FALSE(runs[0].hasColor);
    EXPECT_EQ(runs[0].fontSize, 10);
    EXPECT_TRUE(runs[1].bold);
    EXPECT_TRUE(runs[1].hasColor);
    EXPECT_EQ(runs[1].color, 0x0000FFu);
    EXPECT_FALSE(runs[2].bold);
}

TEST(RtfReader, SkipsIgnorableAndNonTextDestinations)
{
    const RichText doc = ReadRtf(
        "{\\rtf1{\\info{\\title secret}}{\\*\\unknown hidden {nested} text}"
        "{\\pict 0123abcd}{\\stylesheet{\\s0 Normal;}}shown\\par}");
    EXPECT_EQ(doc.PlainText(), "shown");
    // binary picture data may hold anything, braces included
    EXPECT_EQ(ReadRtf("{\\rtf1{\\*\\shppict{\\pict\\bin6 }}{\\\\}}}after\\par}").PlainText(), "after");
}

TEST(RtfReader, PlainTextFileGivesOneParagraphPerLine)
{
    const RichText doc = ReadRtf("first\r\nsecond\nthird");
    ASSERT_EQ(doc.paragraphs.size(), 3u);
    EXPECT_EQ(doc.paragraphs[2].PlainText(), "third");
}

TEST(RtfReader, HostileInputNeverCrashes)
{
    const std::string deep(100000, '{');
    const std::string cases[] = {
        "{\\rtf1 unbalanced {{{ text",
        "{\\rtf1 too many }}}}}} closing } text\\par}",
        "{\\rtf1 " + deep + "deep text" + std::string(100000, '}') + " after\\par}",
        "{\\rtf1 " + deep,
        "{\\rtf1\\fs99999999999999999999999 huge\\cf-99999999999999 neg\\u99999999999? u\\uc999999 x\\par}",
        "{\\rtf1{\\colortbl;\\red999999999999\\green-5\\blue256;}\\cf1 col\\cf2000000000 over\\par}",
        "{\\rtf1 \\'zz bad hex \\' \\", "{\\rtf1 \\u-10179?", "{\\rtf1 \\u-9216?\\u-9216? lone low",
        "{\\rtf1 " + std::string(5000, 'a') + "\\" + std::string(100000, 'x') + "1234 long word\\par}",
        std::string("{\\rtf1 nul\0byte\\par}", 20),
    };
    for (const std::string& input : cases) {
        const RichText doc = ReadRtf(input);
        EXPECT_TRUE(platform::IsValidUtf8(doc.PlainText()));
        // What was read writes and reads back the same.
        expectSame(doc, ReadRtf(WriteRtf(doc)));
    }
}

TEST(RtfReader, TextDeeperThanTheLimitIsDroppedButTheRestIsKept)
{
    const RichText doc = ReadRtf("{\\rtf1 before" + std::string(1000, '{') + "lost" + std::string(1000, '}') +
                                 " after\\par}");
    EXPECT_EQ(doc.PlainText(), "before after");
}

TEST(RtfReader, HugeFontSizeAndNumbersAreClamped)
{
    const RichText doc = ReadRtf("{\\rtf1\\fs99999999999 big\\par}");
    ASSERT_EQ(doc.paragraphs.size(), 1u);
    EXPECT_EQ(doc.paragraphs[0].runs[0].fontSize, 1638);
}
