// Header texts written for mail: ASCII only, encoded words of UTF-8 where
// needed, lines folded to what servers take, and all of it read back the
// same by the header lookups.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mail/charset_conversion.h"
#include "mail/encoded_words.h"
#include "mail/header_encoding.h"
#include "mail/header_folding.h"
#include "mail/headers.h"
#include "mail/mime_fields.h"

namespace {

const std::string kName = "\xC3\x84kille S\xC3\xB8rensen";                                // Äkille Sørensen
const std::string kSubject = "Gr\xC3\xBC\xC3\x9F" "e aus \xC5\x81\xC3\xB3" "d\xC5\xBA";     // Grüße aus Łódź
const std::string kCyrillic = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xD0\xBC\xD0\xB8\xD1\x80";

std::vector<std::string> wordsOf(const std::string& text)
{
    std::vector<std::string> words;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find(' ', start);
        if (end == std::string::npos)
            end = text.size();
        words.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

TEST(HeaderEncoding, EncodedWordsAreShortAsciiAndReadBackWhole)
{
    const std::string emoji = "\xF0\x9F\x98\x80";
    std::string many;
    for (int i = 0; i < 40; ++i)
        many += kSubject + emoji;
    for (const std::string& text : {kName, kSubject, kCyrillic, many, std::string("a=b?c_d e")}) {
        const std::string encoded = mail::encodedWords(text);
        EXPECT_TRUE(mail::isAscii(encoded)) << encoded;
        for (const std::string& word : wordsOf(encoded)) {
            EXPECT_LE(word.size(), 75u) << word;
            // Every word holds whole characters: each reads alone as UTF-8.
            EXPECT_EQ(DecodeEncodedWords(word, 0).find("\xEF\xBF\xBD"), std::string::npos) << word;
        }
        EXPECT_EQ(DecodeEncodedWords(encoded, 0), text) << encoded;
    }
}

TEST(HeaderEncoding, OnlyTheWordsThatNeedItAreEncoded)
{
    const std::string reply = mail::encodeHeaderText("Re: " + kSubject);
    EXPECT_EQ(reply.substr(0, 4), "Re: ");
    EXPECT_NE(reply.find(" aus "), std::string::npos) << reply;
    EXPECT_EQ(DecodeEncodedWords(reply, 0), "Re: " + kSubject);
    EXPECT_EQ(mail::encodeHeaderText("plain  text\tas it is"), "plain  text\tas it is");
    // Text that looks like an encoded word is text, and stays so.
    const std::string literal = mail::encodeHeaderText("about =?x?q?y?= here");
    EXPECT_EQ(DecodeEncodedWords(literal, 0), "about =?x?q?y?= here") << literal;
    // Bytes of an older file are read as Windows-1252 first.
    EXPECT_EQ(DecodeEncodedWords(mail::encodeHeaderText("M\xFCller"), 0), "M\xC3\xBCller");
}

TEST(HeaderEncoding, DisplayNamesReadBackAsTheyWere)
{
    EXPECT_EQ(mail::encodeDisplayName("Ann Lee"), "Ann Lee");
    EXPECT_EQ(mail::encodeDisplayName("J. Smith"), "\"J. Smith\"");
    const std::string comma = "M\xC3\xBCller, J\xC3\xB6rg";
    for (const std::string& name : {kName, comma, kCyrillic, std::string("=?utf-8?q?x?=")}) {
        const std::string written = mail::encodeDisplayName(name);
        EXPECT_TRUE(mail::isAscii(written)) << written;
        const TmsHeaders headers({"To: " + written + " <a@host>, b@host"});
        const auto items = headers.GetFieldList("To");
        ASSERT_EQ(items.size(), 2u) << written;  // an encoded comma splits nothing
        EXPECT_EQ(items[0], name + " <a@host>");
    }
}

TEST(HeaderEncoding, FieldsOfOtherMailAreMadeAscii)
{
    const std::string replyTo =
        mail::encodeHeaderField("Reply-To: J\xF6rg M\xFCller <j@host>, \"Lee, Ann\" <ann@host>", std::string::npos);
    EXPECT_TRUE(mail::isAscii(replyTo)) << replyTo;
    const auto items = TmsHeaders({replyTo}).GetFieldList("Reply-To");
    ASSERT_EQ(items.size(), 2u) << replyTo;
    EXPECT_EQ(items[0], "J\xC3\xB6rg M\xC3\xBCller <j@host>");
    EXPECT_EQ(items[1], "\"Lee, Ann\" <ann@host>");
    // Encoded words already there are not encoded a second time.
    const std::string note = mail::encodeHeaderField("X-Note: Gr\xFC\xDF" "e =?iso-8859-1?q?=FC?=", 900);
    EXPECT_TRUE(mail::isAscii(note)) << note;
    EXPECT_EQ(TmsHeaders({note}).GetFieldValue("X-Note"), "Gr\xC3\xBC\xC3\x9F" "e \xC3\xBC");
}

TEST(HeaderEncoding, FileNamesInTheFormsReadersTake)
{
    EXPECT_EQ(mail::typeNameParameter("a b.txt"), "name=\"a b.txt\"");
    EXPECT_EQ(mail::dispositionNameParameter("a b.txt"), "filename=\"a b.txt\"");
    std::string longName;
    for (int i = 0; i < 12; ++i)
        longName += kSubject + " ";
    longName += "\"quoted\".txt";
    for (const std::string& name : {kSubject + ".txt", longName}) {
        const std::string type = "Content-Type: text/plain; " + mail::typeNameParameter(name);
        const std::string disposition = "Content-Disposition: attachment; " + mail::dispositionNameParameter(name);
        // A long name folds apart into lines about as short as mail has them.
        for (const std::string& line : {type, disposition}) {
            EXPECT_TRUE(mail::isAscii(line)) << line;
            for (const std::string& piece : mail::foldHeaderLine(line, 78))
                EXPECT_LE(piece.size(), 90u) << line;
        }
        EXPECT_EQ(mail::fileNameParam("name", type), name) << type;
        EXPECT_EQ(mail::fileNameParam("filename", disposition), name) << disposition;
    }
}

std::string joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line;
    return text;
}

TEST(HeaderFolding, LongLinesAreCutBeforeBlanksAndJoinBackTheSame)
{
    EXPECT_EQ(mail::foldHeaderLine("Subject: short"), std::vector<std::string>{"Subject: short"});
    std::string line = "X-Long:";
    while (line.size() < 12000)
        line += " word" + std::to_string(line.size());
    for (const std::size_t width : {std::size_t(78), mail::kLongestHeaderLine}) {
        const auto lines = mail::foldHeaderLine(line, width);
        ASSERT_GT(lines.size(), 1u);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            EXPECT_LE(lines[i].size(), width);
            if (i > 0) {
                EXPECT_EQ(lines[i].front(), ' ');
            }
        }
        EXPECT_EQ(joined(lines), line);
    }
    // The value is never cut before its first character.
    const auto lines = mail::foldHeaderLine("Subject:    " + std::string(90, 'x') + " y", 78);
    EXPECT_EQ(lines.front(), "Subject:    " + std::string(90, 'x'));
}

TEST(HeaderFolding, AStretchWithoutBlanksIsCutWhereTheSyntaxAllows)
{
    std::string references = "References: ";
    while (references.size() < 12000)
        references += "<id" + std::to_string(references.size()) + "@example.org>";
    std::string blob = "DKIM-Signature: b=" + std::string(3000, 'Q');
    for (const std::string& line : {references, blob}) {
        const auto lines = mail::foldHeaderLine(line);
        ASSERT_GT(lines.size(), 1u);
        std::string unfolded = lines.front();
        for (std::size_t i = 1; i < lines.size(); ++i) {
            EXPECT_LE(lines[i].size(), mail::kLongestHeaderLine);
            ASSERT_EQ(lines[i].front(), ' ');
            unfolded += lines[i].substr(1);  // the blank the fold added
        }
        EXPECT_LE(lines.front().size(), mail::kLongestHeaderLine);
        EXPECT_EQ(unfolded, line);
    }
    for (const std::string& piece : mail::foldHeaderLine(references))
        EXPECT_EQ(piece.substr(piece.find_first_not_of(' '), 1), piece.find(':') == std::string::npos ? "<" : "R");
}

}  // namespace
