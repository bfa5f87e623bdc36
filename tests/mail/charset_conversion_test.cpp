// Text of any declared charset made UTF-8 by the C library's converters,
// and the rule for text that declares none.

#include <gtest/gtest.h>

#include <string>

#include "mail/charset_conversion.h"

namespace {

using mail::convertToUtf8;
using mail::declaredTextToUtf8;

const std::string kReplacement = "\xEF\xBF\xBD";

TEST(CharsetConversion, DeclaredCharsetsBecomeUtf8)
{
    struct Case {
        const char* charset;
        std::string bytes, utf8;
    };
    const Case cases[] = {
        {"iso-8859-1", "Gr\xFC\xDF" "e", "Gr\xC3\xBC\xC3\x9F" "e"},
        {"ISO-8859-15", "\xA4", "\xE2\x82\xAC"},
        {"windows-1252", "\x80 \x93x\x94", "\xE2\x82\xAC \xE2\x80\x9Cx\xE2\x80\x9D"},
        {"koi8-r", "\xF0\xD2\xC9\xD7\xC5\xD4", "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82"},
        {"iso-8859-2", "\xA3\xF3" "d\xBC", "\xC5\x81\xC3\xB3" "d\xC5\xBA"},
        {"utf-8", "\xC3\x84kille", "\xC3\x84kille"},
        // Stateful: the shift sequences give no characters of their own.
        {"iso-2022-jp", "\x1B$B$3$s\x1B(B!", "\xE3\x81\x93\xE3\x82\x93!"},
        {"utf-7", "+AOk-t+AOk-", "\xC3\xA9t\xC3\xA9"},
        {"shift_jis", "\x82\xB1\x82\xF1", "\xE3\x81\x93\xE3\x82\x93"},
        // Names as mail writes them: quoted, any case, with an RFC 2231 language.
        {"\"Latin1\"", "\xE9", "\xC3\xA9"},
        {"UTF-8*en", "\xC3\xA9", "\xC3\xA9"},
    };
    for (const Case& c : cases) {
        const auto converted = convertToUtf8(c.bytes, c.charset);
        ASSERT_TRUE(converted) << c.charset;
        EXPECT_EQ(*converted, c.utf8) << c.charset;
        EXPECT_EQ(declaredTextToUtf8(c.bytes, c.charset), c.utf8) << c.charset;
    }
}

TEST(CharsetConversion, InvalidSequencesAreMarkedAndTheRestIsKept)
{
    EXPECT_EQ(*convertToUtf8("a\xFF" "b", "utf-8"), "a" + kReplacement + "b");
    EXPECT_EQ(*convertToUtf8("ab\xE2\x82", "utf-8"), "ab" + kReplacement + kReplacement);  // cut at the end
    EXPECT_EQ(*convertToUtf8("\x82\xB1\x82", "shift_jis"), "\xE3\x81\x93" + kReplacement);
    // A long text with a bad byte early loses nothing after it.
    const std::string tail(100000, 't');
    EXPECT_EQ(*convertToUtf8("\xC3(" + tail, "utf-8"), kReplacement + "(" + tail);
}

TEST(CharsetConversion, UnknownOrUnsafeNamesAreNoCharset)
{
    for (const char* name : {"x-unknown", "", "  ", "unknown-8bit", "utf-8//TRANSLIT", "../../lib/gconv/x",
                             "utf 8", "\"\"", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa"})
        EXPECT_FALSE(convertToUtf8("caf\xE9", name)) << name;
}

TEST(CharsetConversion, ANameIsMadeOnlyOfTheCharactersOfCharsetNames)
{
    for (const std::string& name : {std::string("utf-8"), std::string("ISO_8859-1:1987"), std::string("x.mac+1"),
                                   std::string(40, 'a')})
        EXPECT_TRUE(mail::isCharsetName(name)) << name;
    for (const std::string& name : {std::string(), std::string(41, 'a'), std::string("utf-8//TRANSLIT"),
                                   std::string("latin 1"), std::string("a\"b"), std::string("a;b"),
                                   std::string("utf-8\r\nBcc: x"), std::string("\xC3\xA4")})
        EXPECT_FALSE(mail::isCharsetName(name)) << name;
}

TEST(CharsetConversion, UndeclaredTextIsUtf8WhenValidElseWindows1252)
{
    // Under no name, an unknown one, and under us-ascii that 8-bit bytes
    // contradict (old templates were written so).
    for (const char* name : {"", "us-ascii", "x-unknown", "ANSI_X3.4-1968"}) {
        EXPECT_EQ(declaredTextToUtf8("Gr\xC3\xBC\xC3\x9F" "e", name), "Gr\xC3\xBC\xC3\x9F" "e") << name;
        EXPECT_EQ(declaredTextToUtf8("\x93Gr\xFC\xDF\x94", name), "\xE2\x80\x9CGr\xC3\xBC\xC3\x9F\xE2\x80\x9D") << name;
        EXPECT_EQ(declaredTextToUtf8("plain", name), "plain") << name;
    }
    // The five bytes Windows-1252 leaves unassigned stand for themselves.
    EXPECT_EQ(declaredTextToUtf8("\x81", ""), "\xC2\x81");
}

TEST(CharsetConversion, RepairKeepsUtf8AndReadsOtherBytesAsWindows1252)
{
    // A template line in UTF-8 with an account name from an older table.
    EXPECT_EQ(mail::repairUtf8("Dear \xC3\x84kille, from M\xFCller \x80"),
              "Dear \xC3\x84kille, from M\xC3\xBCller \xE2\x82\xAC");
    EXPECT_EQ(mail::repairUtf8("\xED\xA0\x80"), "\xC3\xAD\xC2\xA0\xE2\x82\xAC");  // a surrogate is no UTF-8
    EXPECT_EQ(mail::repairUtf8("ok \xF0\x9F\x98\x80"), "ok \xF0\x9F\x98\x80");
}

}  // namespace
