// Encoded words in header values, read into UTF-8.

#include <gtest/gtest.h>

#include <string>

#include "mail/encoded_words.h"

namespace {

TEST(EncodedWords, DecodesQAndBWords)
{
    EXPECT_EQ(DecodeEncodedWords("=?us-ascii?B?SGk=?="), "Hi");
    EXPECT_EQ(DecodeEncodedWords("=?iso-8859-1?Q?Gr=FC=DFe?="), "Gr\xC3\xBC\xC3\x9F" "e");
    // Encoding letters in lower case are as good as upper case.
    EXPECT_EQ(DecodeEncodedWords("=?utf-8?q?a_b?="), "a b");
    EXPECT_EQ(DecodeEncodedWords("=?utf-8?b?SGk=?="), "Hi");
}

TEST(EncodedWords, EachWordIsReadInItsCharset)
{
    EXPECT_EQ(DecodeEncodedWords("=?koi8-r?B?8NLJ18XU?="), "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82");
    EXPECT_EQ(DecodeEncodedWords("Gr=?ISO-8859-2?Q?=FC=DF?=e aus =?iso-8859-2?q?=A3=F3d=BC?="),
              "Gr\xC3\xBC\xC3\x9F" "e aus \xC5\x81\xC3\xB3" "d\xC5\xBA");
    EXPECT_EQ(DecodeEncodedWords("=?windows-1252?Q?=93hi=94?="), "\xE2\x80\x9Chi\xE2\x80\x9D");
    // A charset not known here: the bytes are read as undeclared text.
    EXPECT_EQ(DecodeEncodedWords("=?x-unknown?Q?caf=C3=A9?= / =?x-unknown?Q?caf=E9?="), "caf\xC3\xA9 / caf\xC3\xA9");
}

TEST(EncodedWords, AdjacentWordsOfOneCharsetAreReadTogether)
{
    // Senders cut a character between two words.
    EXPECT_EQ(DecodeEncodedWords("=?utf-8?q?Gr=C3?= =?UTF-8?q?=BC=C3=9Fe?="), "Gr\xC3\xBC\xC3\x9F" "e");
    EXPECT_EQ(DecodeEncodedWords("=?iso-8859-1?q?=FC?= =?utf-8?q?=C3=BC?= x =?utf-8?q?=C3?="),
              "\xC3\xBC\xC3\xBC x \xEF\xBF\xBD");
}

TEST(EncodedWords, TextOutsideWordsBecomesUtf8)
{
    EXPECT_EQ(DecodeEncodedWords("M\xFCller =?utf-8?q?J=C3=B6rg?="), "M\xC3\xBCller J\xC3\xB6rg");
    EXPECT_EQ(DecodeEncodedWords("M\xC3\xBCller"), "M\xC3\xBCller");
}

TEST(EncodedWords, BlankAfterAWordBeforePlainTextStays)
{
    EXPECT_EQ(DecodeEncodedWords("=?iso-8859-1?Q?Gr=FC=DFe_aus?= Bonn"), "Gr\xC3\xBC\xC3\x9F" "e aus Bonn");
    EXPECT_EQ(DecodeEncodedWords("Re: =?x?Q?caf=E9?= ok"), "Re: caf\xC3\xA9 ok");
}

TEST(EncodedWords, BlanksBetweenAdjacentWordsAreDropped)
{
    EXPECT_EQ(DecodeEncodedWords("=?x?Q?a?= =?x?Q?b?="), "ab");
    EXPECT_EQ(DecodeEncodedWords("=?x?Q?a?=\t  =?x?B?Yg==?="), "ab");
    EXPECT_EQ(DecodeEncodedWords("=?x?Q?a?= and =?x?Q?b?="), "a and b");
}

TEST(EncodedWords, UnderscoreIsABlankOnlyInsideQWords)
{
    EXPECT_EQ(DecodeEncodedWords("my_file.txt =?x?Q?is_here?="), "my_file.txt is here");
    EXPECT_EQ(DecodeEncodedWords("=?x?B?YV9i?="), "a_b");  // "a_b" in base64
    EXPECT_EQ(DecodeEncodedWords("no words_at all"), "no words_at all");
}

TEST(EncodedWords, QTextMayBeginWithAnEscape)
{
    EXPECT_EQ(DecodeEncodedWords("=?x?Q?=E9t=E9?="), "\xC3\xA9t\xC3\xA9");
}

TEST(EncodedWords, LineBreaksAndNulInAWordBecomeBlanks)
{
    EXPECT_EQ(DecodeEncodedWords("=?x?Q?a=0D=0Ab=00c?="), "a  b c");
    EXPECT_EQ(DecodeEncodedWords("=?x?B?YQ0KYg==?="), "a  b");
}

TEST(EncodedWords, WhatDoesNotParseStaysAsItCame)
{
    EXPECT_EQ(DecodeEncodedWords("=?bad"), "=?bad");
    EXPECT_EQ(DecodeEncodedWords("=?x?X?abc?= tail"), "=?x?X?abc?= tail");
    EXPECT_EQ(DecodeEncodedWords("=?x?B?a!b?="), "=?x?B?a!b?=");
    EXPECT_EQ(DecodeEncodedWords("a =?nothing?= b =?x?Q?c?="), "a =?nothing?= b c");
    EXPECT_EQ(DecodeEncodedWords("=?not a charset?Q?x?="), "=?not a charset?Q?x?=");
    EXPECT_EQ(DecodeEncodedWords(""), "");
}

TEST(EncodedWords, OneLetterTextsBAndQAreText)
{
    EXPECT_EQ(DecodeEncodedWords("=?x?Q?b?= =?x?q?Q?="), "bQ");
}

TEST(EncodedWords, DecodedTextIsNotDecodedAgain)
{
    // The word's text is itself "=?x?Q?a?=".
    EXPECT_EQ(DecodeEncodedWords("=?x?B?PT94P1E/YT89?="), "=?x?Q?a?=");
}

TEST(EncodedWords, ResultIsCutWithoutSplittingACharacter)
{
    EXPECT_EQ(DecodeEncodedWords(std::string(300, 'a')).size(), 255u);
    std::string text = std::string(254, 'a') + "\xC3\xA9";
    EXPECT_EQ(DecodeEncodedWords(text), std::string(254, 'a'));
    EXPECT_EQ(DecodeEncodedWords(std::string(300, 'a'), 0).size(), 300u);
}

TEST(EncodedWords, LongEncodedValueIsDecodedWhole)
{
    // Five words of 77 characters: 389 characters that decode to 150.
    std::string escapes;
    for (int i = 0; i < 15; ++i)
        escapes += "=E9";
    std::string value;
    std::string expected;
    for (int i = 0; i < 5; ++i) {
        value += (i ? " =?iso-8859-1?Q?" : "=?iso-8859-1?Q?") + std::string(15, 'x') + escapes + "?=";
        expected += std::string(15, 'x');
        for (int k = 0; k < 15; ++k)
            expected += "\xC3\xA9";
    }
    ASSERT_GT(value.size(), 255u);
    EXPECT_EQ(DecodeEncodedWords(value, 0), expected);
}

TEST(EncodedWords, ValuesFullOfBrokenWordsComeBackAsTheyCame)
{
    // Hostile header values: thousands of "=?" that never close, that name no
    // known coding, or whose base64 breaks, with one "?=" at the very end.
    // (How fast such values go is measured in the mail benchmark.)
    std::string unclosed, unknownLetter, badBase64;
    for (int i = 0; i < 5000; ++i) {
        unclosed += "=?a?q?x";
        unknownLetter += "=?a?x?y";
        badBase64 += "=?a?b?!";
    }
    unknownLetter += "?=";
    badBase64 += "?=";
    EXPECT_EQ(DecodeEncodedWords(unclosed, 0), unclosed);
    EXPECT_EQ(DecodeEncodedWords(unknownLetter, 0), unknownLetter);
    EXPECT_EQ(DecodeEncodedWords(badBase64, 0), badBase64);
    EXPECT_EQ(DecodeEncodedWords("=?us-ascii?B?SGk=?= " + unclosed, 0), "Hi " + unclosed);
    // A word whose close comes after other broken starts is still one word.
    EXPECT_EQ(DecodeEncodedWords("=?a?b?!=?a?q?x_y?= z", 0), "=?a?b?!x y z");
}

}  // namespace
