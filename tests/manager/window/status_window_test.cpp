// The status log through the main window and the status window's folding.
#include "window_fixture.h"

#include <QAccessible>
#include <QApplication>
#include <QTest>

#include <functional>
#include <stdexcept>

#include "manager/dialogs/tfrm_status.h"
#include "manager/main/program_block.h"
#include "manager/main/tfrm_main.h"
#include "platform/qt/guarded_application.h"
#include "tables/error_report.h"
#include "ui_tfrm_main.h"
#include "ui_tfrm_status.h"

namespace managertest {
namespace {

using manager::TfrmStatus;

class StatusLogWindow : public WindowTest {};

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST_F(StatusLogWindow, TheThirdErrorShowsThreeWithTheNewestLineOnTop)
{
    manager::Post32Program program;
    manager::TfrmMain& main = program.frmMain();
    main.SendtoLog("Node renamed from A to B");
    EXPECT_EQ(main.StatusText(), "Node renamed from A to B");
    TfrmStatus& status = program.frmStatus();
    EXPECT_TRUE(contains(status.ui()->lblLastPMessage->text().toStdString(), " Node renamed from A to B"));
    EXPECT_FALSE(status.isVisible());

    main.AppException(std::runtime_error("first"));
    main.AppException(std::runtime_error("second"));
    main.SendtoLog("Disconnected");
    main.AppException(std::runtime_error("third"));
    EXPECT_EQ(status.ui()->lblNumErrors->text().toStdString(), "3");
    EXPECT_EQ(status.ui()->lblLastError->text().toStdString(), "third");
    const auto lines = status.LogLines();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_TRUE(contains(lines[0], " -- Error-third"));
    EXPECT_TRUE(contains(lines[1], " -- Disconnected"));
    EXPECT_TRUE(contains(lines[2], " -- Error-second"));
    EXPECT_TRUE(contains(lines[3], " -- Error-first"));
    EXPECT_TRUE(contains(lines[4], " -- Node renamed from A to B"));
    EXPECT_TRUE(status.isVisible());
    EXPECT_TRUE(status.DetailsOpen());
    EXPECT_EQ(status.height(), TfrmStatus::kOpenHeight);
    EXPECT_EQ(status.ui()->btnDetails->caption().toStdString(), "Hide Details <<");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(StatusLogWindow, AnExceptionLeavingAHandlerBecomesAnErrorLine)
{
    manager::Post32Program program;
    QObject target;
    QMetaObject::invokeMethod(&target, [] { throw std::runtime_error("posted"); }, Qt::QueuedConnection);
    QApplication::processEvents();
    EXPECT_EQ(program.frmMain().ErrorCount(), 1);
    EXPECT_TRUE(contains(program.frmStatus().LogLines()[0], " -- Error-posted"));
}

TEST_F(StatusLogWindow, TheTableLayersMessagesAreBoxesAndNoneReachesAWindowThatIsGone)
{
    {
        manager::Post32Program program;
        tables::reportError("Field type not supported");
        EXPECT_EQ(boxTexts(), (std::vector<std::string>{"Field type not supported"}));
    }
    // With the window gone both go back to standard error.
    tables::reportError("after the window");
    platform::GuardedApplication::handleException(std::runtime_error("after the window"));
    EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(StatusLogWindow, TheDialupComponentsStatusAndDisconnectionAreLogged)
{
    manager::Post32Program program;
    TagRas& ras = program.frmMain().agRas1();
    ASSERT_TRUE(ras.OnStatusChange && ras.OnDisconnected);
    ras.OnStatusChange(ras, "Dialing...");
    ras.OnDisconnected(ras);
    const auto lines = program.frmStatus().LogLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(contains(lines[0], " -- Disconnected"));
    EXPECT_TRUE(contains(lines[1], " -- Dialing..."));
    EXPECT_EQ(program.frmMain().StatusText(), "Disconnected");
}

class StatusWindow : public WindowTest {};

TEST_F(StatusWindow, TheDetailsToggleFollowsItsStateNotTheHeight)
{
    TfrmStatus status;
    status.show();
    EXPECT_EQ(status.height(), TfrmStatus::kFoldedHeight);
    EXPECT_EQ(status.ui()->btnDetails->caption().toStdString(), "Details >>");
    QTest::mouseClick(status.ui()->btnDetails, Qt::LeftButton);
    EXPECT_EQ(status.Tag(), 2);
    EXPECT_EQ(status.height(), TfrmStatus::kOpenHeight);

    // A window manager hands the open window another height: the next
    // click still folds it.
    status.setMinimumHeight(0);
    status.setMaximumHeight(QWIDGETSIZE_MAX);
    status.resize(status.width(), TfrmStatus::kFoldedHeight);
    QTest::mouseClick(status.ui()->btnDetails, Qt::LeftButton);
    EXPECT_EQ(status.Tag(), 0);
    EXPECT_EQ(status.height(), TfrmStatus::kFoldedHeight);
    EXPECT_EQ(status.ui()->btnDetails->caption().toStdString(), "Details >>");
}

TEST_F(StatusWindow, TheCloseBoxFoldsButCloseKeepsTheDetailsOpen)
{
    manager::Post32Program program;
    TfrmStatus& status = program.frmStatus();
    program.frmMain().ui()->Status1->trigger();
    EXPECT_TRUE(status.isVisible());
    QTest::mouseClick(status.ui()->btnDetails, Qt::LeftButton);
    status.close();  // the close box
    EXPECT_FALSE(status.isVisible());
    program.frmMain().ui()->Status1->trigger();
    EXPECT_FALSE(status.DetailsOpen());
    EXPECT_EQ(status.height(), TfrmStatus::kFoldedHeight);

    QTest::mouseClick(status.ui()->btnDetails, Qt::LeftButton);
    QTest::mouseClick(status.ui()->btnClose, Qt::LeftButton);
    EXPECT_FALSE(status.isVisible());
    program.frmMain().ui()->Status1->trigger();
    EXPECT_TRUE(status.DetailsOpen());
    EXPECT_EQ(status.height(), TfrmStatus::kOpenHeight);

    // Escape presses the hidden Close.
    QTest::keyClick(&status, Qt::Key_Escape);
    EXPECT_FALSE(status.isVisible());
}

// The buttons a reader finds showing in the window, by name.
QStringList ShownButtons(QWidget& window)
{
    QStringList names;
    std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* face) {
        if (!face || face->state().invisible)
            return;
        if (face->role() == QAccessible::Button)
            names << face->text(QAccessible::Name);
        for (int i = 0; i < face->childCount(); ++i)
            walk(face->child(i));
    };
    walk(QAccessible::queryAccessibleInterface(&window));
    return names;
}

TEST_F(StatusWindow, AReaderFindsTheTwoButtonsShownAndPressesThem)
{
    manager::Post32Program program;
    TfrmStatus& status = program.frmStatus();
    status.show();
    QApplication::processEvents();
    EXPECT_EQ(ShownButtons(status), (QStringList{QStringLiteral("Close"), QStringLiteral("Details >>")}));

    QAccessibleInterface* details = QAccessible::queryAccessibleInterface(status.ui()->btnDetails);
    ASSERT_NE(details->actionInterface(), nullptr);
    details->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(status.DetailsOpen());
    // The name follows the caption.
    EXPECT_EQ(details->text(QAccessible::Name).toStdString(), "Hide Details <<");
    QAccessible::queryAccessibleInterface(status.ui()->btnClose)
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_FALSE(status.isVisible());
}

TEST_F(StatusWindow, TheLastErrorShowsThreeWholeLinesAndTheProcessorStatusTwo)
{
    manager::Post32Program program;
    TfrmStatus& status = program.frmStatus();
    Ui::TfrmStatus& u = *status.ui();
    status.SetLastError("The table Agents.dbf could not be opened: it is held exclusively by another program, "
                        "which must be closed first; then start the configuration manager again.");
    status.show();
    QApplication::processEvents();
    const int line = u.lblLastError->fontMetrics().lineSpacing();
    ASSERT_GE(u.lblLastError->heightForWidth(u.lblLastError->width()), 3 * line) << "the text needs three lines";
    EXPECT_GE(u.lblLastError->height(), 3 * line);
    EXPECT_GE(u.lblLastPMessage->height(), 2 * u.lblLastPMessage->fontMetrics().lineSpacing());
    // No row runs into the next, and the buttons stay in the folded window.
    const std::vector<QWidget*> column{u.lblLastError, u.lblLastPMessage, u.lblLastAMessage, u.lblCurrentNode,
                                       u.lblCurrentAction, u.progMessage, u.progNode};
    for (std::size_t i = 1; i < column.size(); ++i)
        EXPECT_GE(column[i]->y(), column[i - 1]->geometry().bottom()) << column[i]->objectName().toStdString();
    EXPECT_GT(u.btnDetails->y(), u.progNode->geometry().bottom());
    EXPECT_LE(u.btnDetails->geometry().bottom(), TfrmStatus::kFoldedHeight);
    screenshot(status, "manager_status_long_error");
}

TEST_F(StatusWindow, Screenshots)
{
    manager::Post32Program program;
    manager::TfrmMain& main = program.frmMain();
    main.SendtoLog("Node renamed from Help Desk to Support");
    main.SendtoLog("Group renamed from Customers to Clients");
    TfrmStatus& status = program.frmStatus();
    status.show();
    QApplication::processEvents();
    screenshot(status, "manager_status_folded");
    main.AppException(std::runtime_error("The table Agents.dbf is not open."));
    // The log view catches up in batches.
    QTest::qWait(250);
    screenshot(status, "manager_status_open");
}

}  // namespace
}  // namespace managertest
