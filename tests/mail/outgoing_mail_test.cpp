// Mail as the writer sends it: every header line ASCII and at most 998
// characters, text labelled with the charset it is in, and an independent
// reader (Python's email, default policy) finding every character.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mail/charset_conversion.h"
#include "mail/message.h"
#include "tests/support/python_mail_reading.h"
#include "tests/support/temp_dir.h"

namespace {

using Address = test_support::PythonMailReading::Address;

const std::string kName = "\xC3\x84kille S\xC3\xB8rensen";
const std::string kAndre = "Andr\xC3\xA9 M\xC3\xBCller";
const std::string kSubject = "Re: Gr\xC3\xBC\xC3\x9F" "e aus \xC5\x81\xC3\xB3" "d\xC5\xBA";

std::vector<std::string> headerLines(const std::string& text)
{
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        if (end == start)
            break;
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

class OutgoingMail : public ::testing::Test {
protected:
    void SetUp() override
    {
        message.Sender().SetName(kName);
        message.Sender().SetAddress("ak@example.org");
        message.Recipients().AddAddress("am@example.org", kAndre);
        message.Recipients().AddAddress("lee@example.org", "Lee, Ann");
        message.CC().AddAddress("ru@example.org", "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD");
        message.SetSubject(kSubject);
        // Header lines of a received message, raw 8-bit among them.
        message.Headers().Add("Reply-To: J\xF6rg M\xFCller <j@example.org>");
        message.Headers().Add("Organization: Caf\xC3\xA9 " + kAndre);
        message.Headers().Add("X-Note: =?iso-8859-1?q?na=EFve?= and raw na\xEFve");
        message.Body() = {"Dear " + kAndre + ",", "line with a blank at its end ", "M\xFCller from an old table"};
    }

    test_support::PythonMailReading written()
    {
        const std::string path = dir.file("out.eml");
        message.SaveToFile(path);
        return test_support::readMailWithPython(path);
    }

    TmsMessage message;
    test_support::TempDir dir{"outgoing"};
};

TEST_F(OutgoingMail, EveryHeaderLineIsAsciiAndPythonReadsEveryName)
{
    for (const std::string& line : headerLines(message.SaveToString()))
        EXPECT_TRUE(mail::isAscii(line)) << line;
    const auto reading = written();
    EXPECT_TRUE(reading.headerAscii) << reading.output;
    EXPECT_EQ(reading.subject, kSubject) << reading.output;
    EXPECT_EQ(reading.from, (std::vector<Address>{{kName, "ak@example.org"}}));
    EXPECT_EQ(reading.to, (std::vector<Address>{{kAndre, "am@example.org"}, {"Lee, Ann", "lee@example.org"}}));
    EXPECT_EQ(reading.cc, (std::vector<Address>{{"\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD", "ru@example.org"}}));
    EXPECT_EQ(test_support::fieldOf(reading, "reply-to"), "J\xC3\xB6rg M\xC3\xBCller <j@example.org>");
    EXPECT_EQ(test_support::fieldOf(reading, "organization"), "Caf\xC3\xA9 " + kAndre);
    EXPECT_EQ(test_support::fieldOf(reading, "x-note"), "na\xC3\xAFve and raw na\xC3\xAFve");
    EXPECT_TRUE(reading.unsound.empty()) << reading.output;
}

TEST_F(OutgoingMail, TextIsDeclaredInTheCharsetItIsIn)
{
    const auto reading = written();
    EXPECT_EQ(reading.textCharSet, "utf-8");
    // A blank at a line end survives the reader, and the bytes of an older
    // file become the characters they were.
    EXPECT_EQ(reading.text, "Dear " + kAndre + ",\nline with a blank at its end \nM\xC3\xBCller from an old table");
    message.Body() = {"plain"};
    EXPECT_EQ(written().textCharSet, "us-ascii");
}

TEST_F(OutgoingMail, ReadAndWrittenAgainEveryCharacterStays)
{
    TmsMessage again;
    again.LoadFromString(message.SaveToString());
    EXPECT_EQ(again.Sender().Name(), kName);
    EXPECT_EQ(again.Recipients().Items(0).Name(), kAndre);
    EXPECT_EQ(again.Recipients().Items(1).Name(), "Lee, Ann");
    EXPECT_EQ(again.Subject(), kSubject);
    EXPECT_EQ(again.Headers().GetFieldValue("Reply-To"), "J\xC3\xB6rg M\xC3\xBCller <j@example.org>");
    EXPECT_EQ(again.Body().back(), "M\xC3\xBCller from an old table");
    // Once written in the encoded form, a field goes out the same again.
    const std::string twice = again.SaveToString();
    TmsMessage third;
    third.LoadFromString(twice);
    EXPECT_EQ(third.SaveToString(), twice);
}

TEST_F(OutgoingMail, NoLineIsLongerThanServersTake)
{
    std::string words, references;
    for (int i = 0; words.size() < 12000; ++i)
        words += "word" + std::to_string(i) + " ";
    for (int i = 0; references.size() < 12000; ++i)
        references += "<id" + std::to_string(i) + "@example.org>";
    const std::string blob(12000, 'Z');
    message.Headers().Add("X-Words: " + words);
    message.Headers().Add("X-Blob: " + blob);
    message.Headers().Add("References: " + references);
    message.Headers().Add("X-Folded: start");
    message.Headers().Add(" " + blob);  // a folded line of its own
    message.SetSubject(std::string(255, 's'));
    const auto reading = written();
    EXPECT_LE(reading.longestLine, 998u);
    EXPECT_EQ(test_support::fieldOf(reading, "x-words"), words.substr(0, words.size() - 1));
    EXPECT_EQ(test_support::fieldOf(reading, "x-blob"), blob);
    EXPECT_EQ(test_support::fieldOf(reading, "x-folded"), "start " + blob);
    // Ids take the fold's blank between them, which changes nothing.
    std::string ids = test_support::fieldOf(reading, "references");
    std::erase(ids, ' ');
    EXPECT_EQ(ids, references);
}

TEST_F(OutgoingMail, ASingleAttachmentHasOneDisposition)
{
    TmsMessage read;
    read.LoadFromString("From: a@host\r\nMime-Version: 1.0\r\nContent-Type: application/pdf; name=\"x.pdf\"\r\n"
                        "Content-Disposition: attachment; filename=\"old.pdf\"\r\n"
                        "Content-Transfer-Encoding: base64\r\n\r\nJVBERi0=\r\n");
    const std::string saved = read.SaveToString();
    EXPECT_EQ(saved.find("Content-Disposition"), saved.rfind("Content-Disposition")) << saved;
    EXPECT_NE(saved.find("filename=\"x.pdf\""), std::string::npos) << saved;
}

}  // namespace
