#include "platform/content_type.h"
#include "platform/files.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace {

using namespace platform;

class ContentTypeTest : public ::testing::Test {
protected:
    test_support::TempDir dir;
    void SetUp() override
    {
        WriteFileAtomic(dir.file("mime.types"),
                        "# comment line with text/fake fake\n"
                        "application/x-first  foo bar\n"
                        "application/x-second foo\n"
                        "text/plain txt\n"
                        "application/vnd.tarsel-test   TstX # trailing comment\n");
        SetMimeTypesPath(dir.file("mime.types"));
    }
    void TearDown() override
    {
        SetMimeTypesPath("/etc/mime.types");
        SetContentTypeLookup(nullptr);
    }
};

TEST_F(ContentTypeTest, BuiltInTableWinsAndIgnoresCase)
{
    EXPECT_EQ(ContentTypeOfExtension(".txt"), "text/plain");
    EXPECT_EQ(ContentTypeOfExtension("HTM"), "text/html");
    EXPECT_EQ(ContentTypeOfExtension(".JPEG"), "image/jpeg");
    EXPECT_EQ(ContentTypeOfExtension(".eml"), "message/rfc822");
    EXPECT_EQ(ContentTypeOfExtension(".rtf"), "text/rtf");
    EXPECT_EQ(ContentTypeOfFile("report.TXT"), "text/plain");
    EXPECT_EQ(ContentTypeOfFile("/home/u/a.b/scan.pdf"), "application/pdf");
    EXPECT_EQ(ContentTypeOfFile("C:\\My.Files\\archive.ZIP"), "application/zip");
}

TEST_F(ContentTypeTest, ThenTheListThenTheFallback)
{
    EXPECT_EQ(ContentTypeOfExtension(".foo"), "application/x-first");
    EXPECT_EQ(ContentTypeOfExtension("bar"), "application/x-first");
    EXPECT_EQ(ContentTypeOfExtension(".tstx"), "application/vnd.tarsel-test");
    EXPECT_EQ(ContentTypeOfExtension(".fake"), "application/octet-stream");
    EXPECT_EQ(ContentTypeOfExtension(".unknownext"), "application/octet-stream");
    EXPECT_EQ(ContentTypeOfExtension(""), "application/octet-stream");
    EXPECT_EQ(ContentTypeOfFile("no-extension"), "application/octet-stream");
    EXPECT_EQ(ContentTypeOfFile("dir.d/no-extension"), "application/octet-stream");
    EXPECT_EQ(ContentTypeOfFile("trailing."), "application/octet-stream");

    SetMimeTypesPath(dir.file("missing"));
    EXPECT_EQ(ContentTypeOfExtension(".foo"), "application/octet-stream");
    EXPECT_EQ(ContentTypeOfExtension(".png"), "image/png");
}

TEST_F(ContentTypeTest, ALookupCanBeInjected)
{
    SetContentTypeLookup([](const std::string& ext) -> std::optional<std::string> {
        if (ext == "txt")
            return "text/x-injected";
        if (ext == "empty")
            return "";
        return std::nullopt;
    });
    EXPECT_EQ(ContentTypeOfFile("a.TXT"), "text/x-injected");
    EXPECT_EQ(ContentTypeOfFile("a.empty"), "application/octet-stream");
    EXPECT_EQ(ContentTypeOfFile("a.png"), "application/octet-stream");
    SetContentTypeLookup(nullptr);
    EXPECT_EQ(ContentTypeOfFile("a.png"), "image/png");
}

}  // namespace
