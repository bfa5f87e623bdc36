// The two-way splitter's panes at the ends of the bar's range, its drag,
// and the rectangle routines it is built on.

#include <gtest/gtest.h>

#include <QLabel>
#include <QSignalSpy>

#include <climits>

#include "controls/min_max.h"
#include "controls/rects.h"
#include "controls/two_way_splitter.h"
#include "widget_test_helpers.h"

namespace {

// 100 x 100 with the default raised bevel: inner area 1..99 both ways.
struct TwoPanes {
    TTwoWaySplitter splitter;
    QLabel* first = new QLabel(QStringLiteral("first"), &splitter);
    QLabel* second = new QLabel(QStringLiteral("second"), &splitter);
    TwoPanes() { splitter.show(); }
};

}  // namespace

TEST(Rects, IntersectionCountsTouchingEdgesAndPointsOnEdges)
{
    EXPECT_EQ(NormalizeRect({10, 20, 0, 5}), (TRect{0, 5, 10, 20}));
    EXPECT_EQ(IntersectRects({0, 0, 10, 10}, {15, 2, 5, 8}), (TRect{5, 2, 10, 8}));
    EXPECT_EQ(IntersectRects({0, 0, 10, 10}, {10, 0, 20, 10}), (TRect{10, 0, 10, 10}));  // touching
    EXPECT_EQ(IntersectRects({0, 0, 10, 10}, {11, 0, 20, 10}), TRect{});              // apart
    EXPECT_TRUE(PointInRect(10, 10, {0, 0, 10, 10}));
    EXPECT_TRUE(PointInRect(0, 0, {0, 0, 10, 10}));
    EXPECT_FALSE(PointInRect(11, 5, {0, 0, 10, 10}));
    EXPECT_EQ(Min(-3, 2), -3);
    EXPECT_EQ(Max(-3, 2), 2);
}

TEST(Splitter, PanesAtTheEndsOfTheBarRange)
{
    TwoPanes s;
    s.splitter.setSplitDirection(TTwoWaySplitter::sdHorizontal);
    s.splitter.setBarPosition(100);
    EXPECT_EQ(s.splitter.BarRect(100), (TRect{1, 97, 99, 99}));  // the last 2 rows
    EXPECT_EQ(s.first->height(), 97);                             // H - 1
    EXPECT_EQ(s.second->geometry(), QRect(1, 99, 98, 1));

    s.splitter.setSplitDirection(TTwoWaySplitter::sdVertical);
    s.splitter.setBarPosition(0);
    EXPECT_EQ(s.first->geometry(), QRect(1, 1, 1, 98));
    EXPECT_EQ(s.second->x(), 4);

    s.splitter.setBarPosition(150);
    EXPECT_EQ(s.splitter.barPosition(), 100);
    s.splitter.setBarPosition(-7);
    EXPECT_EQ(s.splitter.barPosition(), 0);
    s.splitter.setBarWidth(0);
    EXPECT_EQ(s.splitter.barWidth(), 1);
}

TEST(Splitter, OneChildIsLaidOutAloneAndASecondJoinsLater)
{
    TTwoWaySplitter splitter;
    auto* only = new QLabel(&splitter);
    splitter.show();
    EXPECT_EQ(only->geometry(), QRect(1, 1, 48, 98));  // the bar covers 48..52
    auto* later = new QLabel(&splitter);
    later->show();
    EXPECT_EQ(later->geometry(), QRect(53, 1, 47, 98));
}

TEST(Splitter, HugeBarsAndTinyPanesNeitherOverflowNorMoveTheBar)
{
    TwoPanes s;
    s.splitter.setBarWidth(INT_MAX);
    EXPECT_EQ(s.splitter.BarRect(50), (TRect{1, 1, 99, 99}));  // the whole inner area
    EXPECT_GE(s.first->width(), 0);
    EXPECT_GE(s.second->width(), 0);
    EXPECT_LE(s.second->geometry().right(), 100);

    s.splitter.setBarWidth(5);
    s.splitter.setBarPosition(30);
    s.splitter.resize(2, 2);  // no inner area left
    SendMouse(s.splitter, QEvent::MouseButtonPress, QPoint(0, 0));
    SendMouse(s.splitter, QEvent::MouseMove, QPoint(1, 1));
    SendMouse(s.splitter, QEvent::MouseButtonRelease, QPoint(1, 1));
    EXPECT_EQ(s.splitter.barPosition(), 30);
    EXPECT_GE(s.first->width(), 0);
}

TEST(Splitter, DragMovesThePositionAndThePanesOnlyOnRelease)
{
    TwoPanes s;
    QSignalSpy moved(&s.splitter, &TTwoWaySplitter::splitMoved);
    QSignalSpy ended(&s.splitter, &TTwoWaySplitter::barPositioned);
    SendMouse(s.splitter, QEvent::MouseButtonPress, QPoint(50, 50), Qt::RightButton, Qt::RightButton);
    EXPECT_FALSE(s.splitter.dragging());
    SendMouse(s.splitter, QEvent::MouseButtonRelease, QPoint(50, 50), Qt::RightButton, Qt::RightButton);
    SendMouse(s.splitter, QEvent::MouseButtonPress, QPoint(10, 50));  // not on the bar
    EXPECT_FALSE(s.splitter.dragging());
    SendMouse(s.splitter, QEvent::MouseButtonRelease, QPoint(10, 50));

    const int firstWidth = s.first->width();
    SendMouse(s.splitter, QEvent::MouseButtonPress, QPoint(50, 50));
    ASSERT_TRUE(s.splitter.dragging());
    SendMouse(s.splitter, QEvent::MouseMove, QPoint(-40, 50));
    EXPECT_EQ(s.splitter.barPosition(), 2);  // coordinate Lo + half - 1 = 2: 200 / 99
    EXPECT_EQ(s.first->width(), firstWidth);
    SendMouse(s.splitter, QEvent::MouseMove, QPoint(500, 50));
    EXPECT_EQ(s.splitter.barPosition(), 98);  // coordinate Hi - half = 97: 9700 / 99
    EXPECT_EQ(moved.count(), 2);
    EXPECT_EQ(moved.at(1).at(0).toInt(), 98);
    EXPECT_TRUE(SaveScreenshot(s.splitter, QStringLiteral("splitter_dragging")));
    SendMouse(s.splitter, QEvent::MouseButtonRelease, QPoint(500, 50));
    EXPECT_FALSE(s.splitter.dragging());
    EXPECT_EQ(ended.count(), 1);
    EXPECT_NE(s.first->width(), firstWidth);
}

TEST(Splitter, ALostReleaseEndsTheDragAsAReleaseWould)
{
    TwoPanes s;
    QSignalSpy ended(&s.splitter, &TTwoWaySplitter::barPositioned);
    SendMouse(s.splitter, QEvent::MouseButtonPress, QPoint(50, 50));
    SendMouse(s.splitter, QEvent::MouseMove, QPoint(70, 50));
    SendMouse(s.splitter, QEvent::MouseMove, QPoint(75, 50), Qt::NoButton, Qt::NoButton);
    EXPECT_FALSE(s.splitter.dragging());
    EXPECT_EQ(ended.count(), 1);
    EXPECT_EQ(s.first->width(), s.splitter.BarRect(s.splitter.barPosition()).Left);

    SendMouse(s.splitter, QEvent::MouseButtonPress, QPoint(s.first->width() + 2, 50));
    ASSERT_TRUE(s.splitter.dragging());
    s.splitter.hide();
    EXPECT_FALSE(s.splitter.dragging());
    EXPECT_EQ(ended.count(), 2);
}

TEST(Splitter, DragCursorFollowsTheDirection)
{
    TTwoWaySplitter splitter;
    EXPECT_EQ(splitter.dragCursor(), Qt::SplitHCursor);
    splitter.setSplitDirection(TTwoWaySplitter::sdHorizontal);
    EXPECT_EQ(splitter.dragCursor(), Qt::SplitVCursor);
    splitter.setDragCursor(Qt::PointingHandCursor);
    splitter.setSplitDirection(TTwoWaySplitter::sdVertical);
    EXPECT_EQ(splitter.dragCursor(), Qt::PointingHandCursor);
}

TEST(Splitter, Screenshot)
{
    TTwoWaySplitter splitter;
    splitter.resize(240, 120);
    splitter.setBevelInner(TTwoWaySplitter::bvLowered);
    splitter.setBarWidth(6);
    splitter.setBarPosition(70);
    auto* body = new QLabel(QStringLiteral("message body"), &splitter);
    auto* files = new QLabel(QStringLiteral("attachments"), &splitter);
    body->setAutoFillBackground(true);
    files->setAutoFillBackground(true);
    body->setStyleSheet(QStringLiteral("background: white"));
    files->setStyleSheet(QStringLiteral("background: #ffffe0"));
    splitter.show();
    EXPECT_TRUE(SaveScreenshot(splitter, QStringLiteral("splitter")));
}
