// Whether a mail file kept here is a copy of a message fetched again: the
// writer draws new boundaries at every save, an earlier version may have
// written the same message differently, and two messages with the very
// same headers are still two messages.
#include "retriever/core/kept_copy.h"

#include "mail/message.h"
#include "platform/files.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace {

using retriever::IsCopyOf;
using retriever::WithoutDrawnBoundaries;

// A message with a text part, an HTML alternative and an attachment.
std::string Multipart(const std::string& text, const std::string& attachment)
{
    return "From: Ann <ann@example.org>\r\nTo: desk@example.org\r\nSubject: Report\r\n"
           "Date: Tue, 08 Dec 2026 03:00:00 +0100\r\nMIME-Version: 1.0\r\n"
           "Content-Type: multipart/mixed; boundary=\"outer\"\r\n\r\n"
           "--outer\r\nContent-Type: multipart/alternative; boundary=\"inner\"\r\n\r\n"
           "--inner\r\nContent-Type: text/plain\r\n\r\n" +
           text + "\r\n--inner\r\nContent-Type: text/html\r\n\r\n<p>" + text +
           "</p>\r\n--inner--\r\n--outer\r\nContent-Type: application/octet-stream; name=\"a.bin\"\r\n"
           "Content-Transfer-Encoding: base64\r\n\r\n" +
           attachment + "\r\n--outer--\r\n";
}

// The message as postp writes it into its pending file.
std::string Written(const std::string& text)
{
    TmsMessage message;
    message.LoadFromString(text);
    return message.SaveToString();
}

class KeptCopy : public ::testing::Test {
protected:
    std::string keep(const std::string& name, const std::string& bytes)
    {
        const std::string path = dir.file(name);
        platform::WriteFileAtomic(path, bytes);
        return path;
    }
    test_support::TempDir dir{"kc"};
};

TEST_F(KeptCopy, AMessageWrittenAgainIsItsCopyWhateverBoundariesWereDrawn)
{
    for (const std::string& text : {Multipart("disk at 45%", "AAECAw=="),
                                    std::string("From: a@x\r\nSubject: plain\r\n\r\nline one\r\nline two\r\n")}) {
        const std::string kept = keep("kept.eml", Written(text));
        EXPECT_TRUE(IsCopyOf(kept, WithoutDrawnBoundaries(Written(text)))) << text;
        const bool multipart = text.find("multipart") != std::string::npos;
        EXPECT_EQ(WithoutDrawnBoundaries(Written(text)) != Written(text), multipart) << text;
    }
}

TEST_F(KeptCopy, MessagesThatDifferOnlyInTheirBodyAreNotCopies)
{
    const std::string kept = keep("kept.eml", Written(Multipart("disk at 45%", "AAECAw==")));
    EXPECT_FALSE(IsCopyOf(kept, WithoutDrawnBoundaries(Written(Multipart("disk at 46%", "AAECAw==")))));
    EXPECT_FALSE(IsCopyOf(kept, WithoutDrawnBoundaries(Written(Multipart("disk at 45%", "AAECBA==")))));
    const std::string plain = keep("plain.eml", Written("From: a@x\r\nSubject: s\r\n\r\nok\r\n"));
    EXPECT_FALSE(IsCopyOf(plain, WithoutDrawnBoundaries(Written("From: a@x\r\nSubject: s\r\n\r\nok\r\nmore\r\n"))));
}

// A file not written as this version writes it (here: the server's own
// text) holds the same message when it reads as the same message.
TEST_F(KeptCopy, ACopyWrittenDifferentlyIsReadAndWrittenAgainBeforeItIsCompared)
{
    const std::string text = Multipart("disk at 45%", "AAECAw==");
    EXPECT_TRUE(IsCopyOf(keep("raw.eml", text), WithoutDrawnBoundaries(Written(text))));
    EXPECT_FALSE(IsCopyOf(keep("other.eml", Multipart("disk at 46%", "AAECAw==")),
                          WithoutDrawnBoundaries(Written(text))));
    EXPECT_FALSE(IsCopyOf(dir.file("missing.eml"), WithoutDrawnBoundaries(Written(text))));
}

TEST_F(KeptCopy, OnlyDeclaredBoundariesAreReplacedAndEachKeepsItsRank)
{
    const std::string text = "Content-Type: multipart/mixed; boundary=\"12345678\"\r\n\r\n--12345678\r\n"
                             "Content-Type:  multipart/alternative; boundary=\"87654321\"\n\n--87654321\n"
                             "--11111111\r\n--87654321--\r\n--12345678--\r\n--12345678 trailing\r\n";
    EXPECT_EQ(WithoutDrawnBoundaries(text),
              "Content-Type: multipart/mixed; boundary=\"1\"\r\n\r\n--1\r\n"
              "Content-Type:  multipart/alternative; boundary=\"2\"\n\n--2\n"
              "--11111111\r\n--2--\r\n--1--\r\n--12345678 trailing\r\n");
    // Outer and inner boundaries do not stand for each other.
    EXPECT_NE(WithoutDrawnBoundaries("Content-Type: m; boundary=\"a\"\r\nContent-Type: m; boundary=\"b\"\r\n--a\r\n"),
              WithoutDrawnBoundaries("Content-Type: m; boundary=\"a\"\r\nContent-Type: m; boundary=\"b\"\r\n--b\r\n"));
    EXPECT_EQ(WithoutDrawnBoundaries("no break at the end"), "no break at the end");
    EXPECT_EQ(WithoutDrawnBoundaries("Content-Type: x; boundary=\"\"\r\n--\r\n"), "Content-Type: x; boundary=\"\"\r\n--\r\n");
}

}  // namespace
