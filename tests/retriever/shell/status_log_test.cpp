// The status log: lines logged with the window hidden, shown, or just
// before saving all reach the window and the saved file, newest on top and
// above what an earlier run left, whose formatting stays.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTextBlock>
#include <QTextDocument>

#include "platform/files.h"
#include "platform/rtf_reader.h"
#include "platform/rtf_writer.h"
#include "platform/status_log.h"
#include "shell_fixture.h"
#include "ui_tfrm_main.h"

namespace shelltest {

namespace {

bool endsWith(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

std::string topLineShown(const shell::TfrmMain& main)
{
    return main.ui()->REStatus->document()->firstBlock().text().toStdString();
}

}  // namespace

TEST_F(ShellTest, LoggedLinesReachTheWindowAndTheSavedLogNewestFirst)
{
    platform::RichText earlier;
    earlier.paragraphs.push_back({{{.text = "earlier run", .bold = true}}});
    test_support::writeFile(homeDir() + "postproc.log", platform::WriteRtf(earlier));

    auto sh = makeShell(shell::RetrieverProfile());
    sh->Start({});
    shell::TfrmMain& main = sh->FrmMain();
    main.SendtoLog("while hidden");
    main.show();
    EXPECT_TRUE(endsWith(topLineShown(main), " -- while hidden"));

    main.SendtoLog("while shown");
    const QDeadlineTimer deadline(5000);
    while (!endsWith(topLineShown(main), " -- while shown") && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_TRUE(endsWith(topLineShown(main), " -- while shown"));

    main.SendtoLog("just before saving");
    const auto lines = main.LogLines();
    main.SaveLog();
    const platform::RichText saved = platform::ReadRtf(platform::ReadWholeFile(homeDir() + "postproc.log"));
    ASSERT_EQ(saved.paragraphs.size(), 5u);
    ASSERT_EQ(lines.size(), 5u);
    const char* const expected[] = {" -- just before saving", " -- while shown", " -- while hidden",
                                    " -- Service Started"};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_TRUE(endsWith(saved.paragraphs[i].PlainText(), expected[i])) << saved.paragraphs[i].PlainText();
        EXPECT_EQ(lines[i], saved.paragraphs[i].PlainText());
        EXPECT_FALSE(saved.paragraphs[i].runs.at(0).bold);
    }
    EXPECT_EQ(saved.paragraphs[4].PlainText(), "earlier run");
    EXPECT_TRUE(saved.paragraphs[4].runs.at(0).bold);
    EXPECT_EQ(lines[4], "earlier run");
}

TEST_F(ShellTest, TheWindowKeepsTheNewestLinesAndTheFileKeepsThemAll)
{
    auto sh = makeShell(shell::RetrieverProfile());
    sh->Start({});
    shell::TfrmMain& main = sh->FrmMain();
    const std::size_t shown = platform::StatusLog::kDefaultNewestLines;
    main.show();
    for (std::size_t i = 0; i < shown + 500; ++i) {
        main.SendtoLog("line " + std::to_string(i));
        // Now and then the window catches up, as its timer would have it.
        if (i % 200 == 0)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 150);
    }
    main.hide();
    main.show();
    const QTextDocument* document = main.ui()->REStatus->document();
    EXPECT_EQ(static_cast<std::size_t>(document->blockCount()), shown);
    EXPECT_TRUE(endsWith(topLineShown(main), " -- line " + std::to_string(shown + 499)));
    EXPECT_TRUE(endsWith(document->lastBlock().text().toStdString(), " -- line 500"));
    EXPECT_EQ(main.LogLines().size(), shown);

    main.SaveLog();
    const platform::RichText saved = platform::ReadRtf(platform::ReadWholeFile(homeDir() + "postproc.log"));
    ASSERT_EQ(saved.paragraphs.size(), shown + 501);  // and "Service Started"
    EXPECT_TRUE(endsWith(saved.paragraphs[shown + 499].PlainText(), " -- line 0"));
}

}  // namespace shelltest
