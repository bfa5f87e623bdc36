// Attachments come back byte for byte, whatever a file holds, after any
// number of rounds: saved into a message and read back, or opened into a
// folder and added again as a template's composer does.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "mail/message.h"
#include "tests/support/python_mail_reading.h"
#include "tests/support/temp_dir.h"

namespace {

struct Contents {
    const char* what;
    std::string bytes;
};

std::vector<Contents> fileContents()
{
    std::string binary;
    for (int i = 0; i < 2048; ++i)
        binary += static_cast<char>((i * 7) & 0xFF);
    return {
        {"line feeds", "first\nsecond\n"},
        {"carriage returns", "first\rsecond\r"},
        {"no final break", "first\r\nsecond"},
        {"blanks at line ends", "a \r\nb\t\r\n \r\n"},
        {"empty lines only", "\r\n\r\n"},
        {"one break", "\n"},
        {"nothing", ""},
        {"dots and equals", ".\r\n..\r\n=\r\n=3D\r\n"},
        {"a line of 3000 bytes", std::string(3000, 'L') + "\n"},
        {"latin-1 text", "Gr\xFC\xDF" "e\n"},
        {"binary", binary},
    };
}

class AttachmentBytes : public ::testing::TestWithParam<const char*> {
protected:
    // Fills a new message with a short text and the contents, attached from
    // a file of the parameter's name.
    void attachAsFile(TmsMessage& message, const Contents& contents)
    {
        const std::string file = dir.file(GetParam());
        test_support::writeFile(file, contents.bytes);
        message.Sender().SetAddress("a@host");
        message.Body() = {"see the file"};
        message.Attachments().AddFile(file);
    }

    test_support::TempDir dir{"attachment_bytes"};
};

TEST_P(AttachmentBytes, ComeBackAfterManyRounds)
{
    for (const Contents& contents : fileContents()) {
        TmsMessage message;
        attachAsFile(message, contents);
        for (int round = 0; round < 4; ++round) {
            // As the composer does: the template saved, opened, its
            // attachment written into a folder and added from there again.
            TmsMessage read;
            read.LoadFromString(message.SaveToString());
            ASSERT_EQ(read.Attachments().Count(), 1) << contents.what;
            EXPECT_EQ(read.Attachments().Items(0).Contents(), contents.bytes) << contents.what << " round " << round;
            const std::string folder = dir.file("round");
            std::filesystem::create_directories(folder);
            const std::string again = read.SaveAttachment(0, folder);
            message.Attachments().Clear();
            message.Attachments().AddFile(again);
        }
    }
}

TEST_P(AttachmentBytes, PythonReadsTheSameBytes)
{
    for (const Contents& contents : fileContents()) {
        TmsMessage message;
        attachAsFile(message, contents);
        const std::string written = dir.file("written.eml");
        message.SaveToFile(written);
        const auto reading = test_support::readMailWithPython(written);
        ASSERT_EQ(reading.parts.size(), 1u) << reading.output;
        EXPECT_EQ(reading.parts[0].name, GetParam());
        EXPECT_LE(reading.longestLine, 998u) << contents.what;
        // Python gives a text part's lines with the reader's own line ends.
        if (std::string(GetParam()).ends_with(".bin")) {
            EXPECT_EQ(reading.parts[0].size, contents.bytes.size()) << contents.what;
        }
    }
}

// Contents marked to go as lines do so only when their lines bring them back;
// an attached message keeps its lines, in the CR LF form mail sends them in,
// unless one is too long for a server.
TEST(AttachmentLines, GoAsLinesOnlyWhenTheyComeBack)
{
    const std::string longLine(2000, 'M');
    struct Case {
        const char* type;
        std::string bytes, readBack;
    };
    const Case cases[] = {
        {"text/plain", "one\r\ntwo", "one\r\ntwo"},
        {"text/plain", "one\ntwo\n", "one\ntwo\n"},
        {"application/octet-stream", std::string("a\0b\r\n", 5), std::string("a\0b\r\n", 5)},
        {"message/rfc822", "From: a@host\n\nhi\n", "From: a@host\r\n\r\nhi\r\n"},
        {"message/rfc822", "From: a@host\r\n\r\n" + longLine + "\r\n", "From: a@host\r\n\r\n" + longLine + "\r\n"},
    };
    for (const Case& c : cases) {
        TmsMessage message;
        message.Sender().SetAddress("a@host");
        message.Body() = {"see the part"};
        auto item = std::make_unique<TmsAttItem>();
        item->SetFileName("part.dat");
        item->SetContentType(c.type);
        item->SetEncoding(mail::AttEncoding::None);
        item->Contents() = c.bytes;
        message.Attachments().Add(std::move(item));
        const std::string text = message.SaveToString();
        for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
            ASSERT_LE(end - start, 998u) << c.type;
        TmsMessage read;
        read.LoadFromString(text);
        ASSERT_EQ(read.Attachments().Count(), 1) << c.type;
        EXPECT_EQ(read.Attachments().Items(0).Contents(), c.readBack) << c.type;
    }
}

// A text file (quoted-printable), a binary one (base64), and a name beyond
// ASCII, which readers must get back too.
INSTANTIATE_TEST_SUITE_P(Files, AttachmentBytes,
                         ::testing::Values("notes.txt", "data.bin",
                                           "Gr\xC3\xBC\xC3\x9F" "e aus \xC5\x81\xC3\xB3" "d\xC5\xBA.txt"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.index == 0 ? "Text" : info.index == 1 ? "Binary" : "NonAsciiName");
                         });

}  // namespace
