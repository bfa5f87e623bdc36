// Mail files loaded and saved again must still carry the same message for
// an independent reader (Python's email package): the same addresses,
// subject, text and attachment bytes.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "mail/message.h"
#include "tests/support/command_output.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

const fs::path kCorpus = fs::path(TARSEL_TEST_DATA) / "mail" / "corpus";
const fs::path kSummary = fs::path(TARSEL_SOURCE_DIR) / "tests" / "mail" / "mail_summary.py";

// What Python's email package reads from a mail file, as JSON text.
std::string pythonSummary(const fs::path& file)
{
    using test_support::shellQuoted;
    const test_support::CommandOutput run =
        test_support::runCommand("/usr/bin/python3 " + shellQuoted(kSummary.string()) + " " + shellQuoted(file.string()));
    if (run.status != 0)
        return run.output + "\n(exit status " + std::to_string(run.status) + ")";
    return run.output;
}

std::string readAll(const fs::path& path) { return test_support::readFile(path.string()); }

class MailRoundTrip : public ::testing::TestWithParam<const char*> {
protected:
    fs::path resave(const fs::path& source, const std::string& name)
    {
        TmsMessage message;
        message.LoadFromFile(source.string());
        fs::path written = folder_ / name;
        message.SaveToFile(written.string());
        return written;
    }

    test_support::TempDir dir_{"mail_roundtrip_"};
    fs::path folder_{dir_.path()};
};

TEST_P(MailRoundTrip, SavedFileCarriesTheSameMessage)
{
    fs::path original = kCorpus / GetParam();
    ASSERT_TRUE(fs::exists(original)) << original;
    fs::path written = resave(original, "first.eml");
    std::string expected = pythonSummary(original);
    ASSERT_NE(expected.find("\"subject\""), std::string::npos) << expected;
    EXPECT_EQ(pythonSummary(written), expected) << readAll(written);
}

TEST_P(MailRoundTrip, SavingTwiceChangesNothingMore)
{
    fs::path once = resave(kCorpus / GetParam(), "once.eml");
    fs::path twice = resave(once, "twice.eml");
    EXPECT_EQ(pythonSummary(twice), pythonSummary(once)) << readAll(twice);
}

TEST_P(MailRoundTrip, EveryWrittenLineEndsWithCrLf)
{
    std::string text = readAll(resave(kCorpus / GetParam(), "lines.eml"));
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "bare LF at byte " << i;
        }
        if (text[i] == '\r') {
            ASSERT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << "bare CR at byte " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Corpus, MailRoundTrip,
                         ::testing::Values("plain.eml", "quoted_printable.eml", "base64_attachments.eml",
                                           "nested_multipart.eml", "uuencoded.eml", "non_ascii_headers.eml"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return fs::path(info.param).stem().string();
                         });

}  // namespace
