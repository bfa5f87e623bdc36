// Real-world messages (Python's e-mail test messages and bounces written by
// many mail servers) through the reader and the writer: each loads, saves
// and loads again the same, and an independent reader finds in the written
// file what it finds in the original.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "mail/message.h"
#include "tests/support/mail_corpus.h"
#include "tests/support/python_mail_reading.h"
#include "tests/support/temp_dir.h"

namespace {

// The lines of an attached message with CR LF ends, the form it is sent in.
std::string canonicalLines(const std::string& contents)
{
    std::string text;
    for (const std::string& line : mail::splitLines(contents))
        text += line + "\r\n";
    return text;
}

// What the model holds of a message, to compare two loads. (A part's type
// is left out: a written part named by the reader reads back with the type
// registered for that name. An attached message is written in its lines.)
std::string modelOf(TmsMessage& message)
{
    std::string text = message.Sender().Name() + " <" + message.Sender().Address() + ">\n" + message.Subject() + "\n";
    for (int i = 0; i < message.Recipients().Count(); ++i)
        text += message.Recipients().Items(i).Name() + " <" + message.Recipients().Items(i).Address() + ">\n";
    for (const std::string& line : message.Body())
        text += line + "\n";
    for (int i = 0; i < message.Attachments().Count(); ++i) {
        const TmsAttItem& item = message.Attachments().Items(i);
        const bool message = item.ContentType().rfind("message/", 0) == 0;
        text += item.FileName() + "\n" + (message ? canonicalLines(item.Contents()) : item.Contents()) + "\n";
    }
    return text;
}

TEST(RealWorldMail, EveryMessageLoadsSavesAndLoadsAgainTheSame)
{
    for (const test_support::CorpusMessage& corpus : test_support::realWorldMessages()) {
        TmsMessage first;
        ASSERT_NO_THROW(first.LoadFromFile(corpus.path)) << corpus.name;
        const std::string saved = first.SaveToString();
        TmsMessage second;
        second.LoadFromString(saved);
        EXPECT_EQ(modelOf(second), modelOf(first)) << corpus.name;
        TmsMessage third;
        third.LoadFromString(second.SaveToString());
        EXPECT_EQ(modelOf(third), modelOf(second)) << corpus.name;
    }
}

TEST(RealWorldMail, PythonReadsFromTheWrittenFileWhatItReadsFromTheOriginal)
{
    test_support::TempDir dir("real_world_mail");
    std::string failures;
    int compared = 0;
    for (const test_support::CorpusMessage& corpus : test_support::realWorldMessages()) {
        TmsMessage message;
        message.LoadFromFile(corpus.path);
        const std::string written = dir.file("written.eml");
        message.SaveToFile(written);
        const std::string differences = test_support::differencesSeenByPython(corpus.path, written);
        if (!differences.empty())
            failures += corpus.name + ":\n" + differences;
        ++compared;
    }
    EXPECT_GT(compared, 150);
    EXPECT_EQ(failures, "");
}

}  // namespace
