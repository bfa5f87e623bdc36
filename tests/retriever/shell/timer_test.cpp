// The timer discipline: one pass per tick, never two at once, the timer
// armed again whatever the pass did, and no exception crossing the event
// loop.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdlib>

#include "platform/event_pump.h"
#include "platform/qt/guarded_application.h"
#include "retriever/shell/tform1.h"
#include "shell_fixture.h"

using shell::RetrieverProfile;

namespace shelltest {

TEST_F(ShellTest, PassThatThrowsIsLoggedAndTheTimerRunsAgain)
{
    auto sh = makeShell(RetrieverProfile());
    sh->Start({});
    work->failWith = "connection refused";
    bool timerOffDuringPass = false;
    work->during = [&] { timerOffDuringPass = !sh->FrmMain().Timer()->isActive(); };
    sh->FrmMain().TimerTick();
    EXPECT_EQ(work->passes, 1);
    EXPECT_TRUE(timerOffDuringPass);
    EXPECT_TRUE(sh->FrmMain().Timer()->isActive());
    const std::string top = sh->FrmMain().LogLines()[0];
    EXPECT_NE(top.find(" -- Error-connection refused"), std::string::npos) << top;
    EXPECT_FALSE(sh->FrmMain().PassRunning());
}

TEST_F(ShellTest, PassesNeverOverlap)
{
    auto sh = makeShell(RetrieverProfile());
    sh->Start({});
    shell::TfrmMain& main = sh->FrmMain();
    // The pass lets events run and a tick arrives in the middle of it; it
    // also flips the switch, which is read only at the next tick.
    work->during = [&] {
        platform::processPendingEvents();
        main.TimerTick();
        main.RunPass();
        if (work->passes == 1)
            main.Button1Click();
    };
    main.TimerTick();
    EXPECT_EQ(work->passes, 1);
    EXPECT_FALSE(main.State().ProcessingEnabled);
    main.TimerTick();  // switched off: no pass, the timer still runs
    EXPECT_EQ(work->passes, 1);
    EXPECT_TRUE(main.Timer()->isActive());
}

TEST_F(ShellTest, RealTimerTicksRunPasses)
{
    auto sh = makeShell(RetrieverProfile());
    sh->Start({});
    sh->FrmMain().Timer()->setInterval(1);
    // Bounded by wall time only so a slow machine still gets its ticks.
    QElapsedTimer waited;
    waited.start();
    while (work->passes < 3 && waited.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_GE(work->passes, 3);
}

TEST_F(ShellTest, ExceptionLeavingAnEventHandlerBecomesAnErrorLine)
{
    auto sh = makeShell(RetrieverProfile());
    sh->Start({});
    bool ran = false;
    QTimer::singleShot(0, &sh->FrmMain(), [&] {
        ran = true;
        throw std::runtime_error("handler failed");
    });
    for (int i = 0; i < 100 && !ran; ++i)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    ASSERT_TRUE(ran);
    EXPECT_NE(sh->FrmMain().LogLines()[0].find(" -- Error-handler failed"), std::string::npos);
}

TEST_F(ShellTest, StatusWindowScreenshot)
{
    auto sh = makeShell(RetrieverProfile());
    sh->Start({"/unknown"});
    shell::TfrmMain& main = sh->FrmMain();
    main.SendtoLog("Account one -- retrieving mail");
    main.AppException(std::runtime_error("Socket Error # 10061 Connection refused."));
    main.resize(620, 380);
    main.show();
    const QString folder = QStringLiteral(TARSEL_BINARY_DIR "/screenshots");
    QDir().mkpath(folder);
    EXPECT_TRUE(main.grab().save(folder + QStringLiteral("/status_window.png")));
    auto about = sh->Form1().aboutD->CreateForm();
    EXPECT_EQ(about->windowTitle().toStdString(), "About Tarsel Mail Processor");
    EXPECT_TRUE(about->grab().save(folder + QStringLiteral("/processor_about.png")));
}

TEST(Headless, NoDisplayMeansOffscreen)
{
    ScopedEnv platform("QT_QPA_PLATFORM", std::nullopt);
    ScopedEnv display("DISPLAY", std::nullopt);
    ScopedEnv wayland("WAYLAND_DISPLAY", std::nullopt);
    platform::PrepareHeadlessEnvironment();
    ASSERT_NE(std::getenv("QT_QPA_PLATFORM"), nullptr);
    EXPECT_STREQ(std::getenv("QT_QPA_PLATFORM"), "offscreen");
    EXPECT_TRUE(platform::IsHeadless());
}

TEST(Headless, ADisplayOrAChosenPlatformIsLeftAlone)
{
    {
        ScopedEnv platform("QT_QPA_PLATFORM", std::nullopt);
        ScopedEnv display("DISPLAY", std::string(":0"));
        platform::PrepareHeadlessEnvironment();
        EXPECT_EQ(std::getenv("QT_QPA_PLATFORM"), nullptr);
    }
    ScopedEnv platform("QT_QPA_PLATFORM", std::string("xcb"));
    ScopedEnv display("DISPLAY", std::nullopt);
    platform::PrepareHeadlessEnvironment();
    EXPECT_STREQ(std::getenv("QT_QPA_PLATFORM"), "xcb");
}

}  // namespace shelltest
