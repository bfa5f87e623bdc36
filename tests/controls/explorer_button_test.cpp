// The explorer button's groups, drop-down menu, icon-only hint and shaded
// bitmap, and handlers that destroy the button they were called from.

#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QMenu>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <memory>

#include "controls/explorer_button.h"
#include "widget_test_helpers.h"

namespace {

void click(TExplorerButton& button)
{
    SendMouse(button, QEvent::MouseButtonPress, QPoint(10, 10));
    SendMouse(button, QEvent::MouseButtonRelease, QPoint(10, 10));
}

QPixmap sampleBitmap()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::magenta);  // the transparent colour
    QPainter p(&pixmap);
    p.fillRect(3, 3, 10, 10, QColor(30, 60, 160));
    p.fillRect(6, 6, 4, 4, QColor(250, 220, 40));
    return pixmap;
}

// Closes the next pop-up menu by running one of its actions.
void triggerWhenShown(QMenu* menu, QAction* action)
{
    QTimer::singleShot(0, menu, [=] {
        menu->close();
        action->trigger();  // may destroy the menu
    });
}

}  // namespace

TEST(ExplorerButton, IconOnlyTurnsTheCaptionIntoTheHint)
{
    EXPECT_EQ(TExplorerButton::StripAccelerators(QStringLiteral("&Open")), QStringLiteral("Open"));
    EXPECT_EQ(TExplorerButton::StripAccelerators(QStringLiteral("Fish && &Chips&")), QStringLiteral("Fish & Chips&"));

    TExplorerButton button;
    button.setCaption(QStringLiteral("&Open"));
    button.setOptions(TExplorerButton::boIconOnly);
    EXPECT_EQ(button.hint(), QStringLiteral("Open"));
    EXPECT_TRUE(button.showHint());
    EXPECT_EQ(button.toolTip(), QStringLiteral("Open"));
    button.setCaption(QStringLiteral("&Save"));
    EXPECT_EQ(button.toolTip(), QStringLiteral("Save"));

    const QImage image = Render(button);  // no caption, no bitmap: nothing dark
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ASSERT_GT(qGray(image.pixel(x, y)), 100) << x << "," << y;

    button.setOptions(TExplorerButton::boMonoDisplay);
    EXPECT_TRUE(button.hint().isEmpty());
    EXPECT_FALSE(button.showHint());
}

TEST(ExplorerButton, GroupKeepsOneButtonDown)
{
    QWidget form;
    auto* a = new TExplorerButton(&form);
    auto* b = new TExplorerButton(&form);
    form.show();
    a->setDown(true);
    EXPECT_FALSE(a->down());  // no group, no toggle
    a->setGroupIndex(1);
    b->setGroupIndex(1);
    click(*a);
    EXPECT_TRUE(a->down());
    click(*b);
    EXPECT_TRUE(b->down());
    EXPECT_FALSE(a->down());
    click(*b);
    EXPECT_TRUE(b->down());  // no AllowAllUp
    a->setAllowAllUp(true);
    EXPECT_TRUE(b->allowAllUp());
    click(*b);
    EXPECT_FALSE(b->down());

    auto* c = new TExplorerButton(&form);
    c->setGroupIndex(2);
    c->setDown(true);
    a->setDown(true);
    c->setGroupIndex(1);  // a down button joining a group with one down
    EXPECT_TRUE(c->down());
    EXPECT_FALSE(a->down());
    c->setGroupIndex(0);
    EXPECT_FALSE(c->down());
}

TEST(ExplorerButton, ClicksOnlyWhenReleasedOverIt)
{
    QWidget form;
    auto* button = new TExplorerButton(&form);
    form.show();
    QSignalSpy clicks(button, &TExplorerButton::clicked);
    SendMouse(*button, QEvent::MouseButtonPress, QPoint(10, 10));
    EXPECT_TRUE(button->pressed());
    SendMouse(*button, QEvent::MouseMove, QPoint(80, 10));
    EXPECT_FALSE(button->highlighted());
    SendMouse(*button, QEvent::MouseButtonRelease, QPoint(80, 10));
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_FALSE(button->pressed());
    click(*button);
    EXPECT_EQ(clicks.count(), 1);

    button->setEnabled(false);
    click(*button);
    EXPECT_EQ(clicks.count(), 1);
}

TEST(ExplorerButton, MarkedLetterClicksLikeTheMouse)
{
    QWidget form;
    auto* button = new TExplorerButton(&form);
    button->setCaption(QStringLiteral("&Reply"));
    button->setGroupIndex(3);
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    QSignalSpy clicks(button, &TExplorerButton::clicked);
    QTest::keyClick(&form, Qt::Key_R, Qt::AltModifier);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_TRUE(button->down());
    EXPECT_FALSE(button->pressed());
}

TEST(ExplorerButton, DropDownMenuReplacesTheClick)
{
    QWidget form;
    auto* button = new TExplorerButton(&form);
    QMenu menu;
    QAction* item = menu.addAction(QStringLiteral("Item"));
    QSignalSpy chosen(item, &QAction::triggered);
    button->setDropDownMenu(&menu);
    form.show();
    QSignalSpy clicks(button, &TExplorerButton::clicked);
    triggerWhenShown(&menu, item);
    click(*button);
    EXPECT_EQ(chosen.count(), 1);
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_FALSE(button->pressed());
}

TEST(ExplorerButton, HandlersMayDestroyTheButtonOrItsWindow)
{
    auto form = std::make_unique<QWidget>();
    auto* button = new TExplorerButton(form.get());
    form->show();
    QObject::connect(button, &TExplorerButton::clicked, [&] { delete button; });
    click(*button);  // must not touch the freed button afterwards

    auto* window = new QWidget;
    auto* menuButton = new TExplorerButton(window);
    auto* menu = new QMenu(window);
    QAction* closeWindow = menu->addAction(QStringLiteral("Close"));
    QObject::connect(closeWindow, &QAction::triggered, [=] { delete window; });
    menuButton->setDropDownMenu(menu);
    window->show();
    triggerWhenShown(menu, closeWindow);
    SendMouse(*menuButton, QEvent::MouseButtonPress, QPoint(10, 10));
    SUCCEED();  // ASan reports any use of the freed button
}

TEST(ExplorerButton, ShadedBitmapTakesFourGreysByBrightness)
{
    QImage bitmap(5, 1, QImage::Format_RGB32);
    bitmap.setPixel(0, 0, qRgb(10, 200, 10));  // the background
    bitmap.setPixel(1, 0, qRgb(200, 200, 200));  // sum 600
    bitmap.setPixel(2, 0, qRgb(100, 100, 100));  // 300
    bitmap.setPixel(3, 0, qRgb(40, 30, 30));     // 100
    bitmap.setPixel(4, 0, qRgb(20, 20, 10));     // 50
    const QColor light(250, 250, 250), dark(128, 128, 128);
    const QImage shaded = TExplorerButton::ShadedImage(bitmap, TExplorerButton::stMedium, light, dark);
    EXPECT_EQ(shaded.pixel(0, 0), qRgb(10, 200, 10));
    EXPECT_EQ(shaded.pixel(1, 0), qRgb(255, 255, 255));
    EXPECT_EQ(shaded.pixel(2, 0), light.rgb());
    EXPECT_EQ(shaded.pixel(3, 0), dark.rgb());
    EXPECT_EQ(shaded.pixel(4, 0), qRgb(0, 0, 0));
    EXPECT_EQ(TExplorerButton::ShadedImage(bitmap, TExplorerButton::stLight, light, dark).pixel(2, 0),
              qRgb(255, 255, 255));  // 300 > 205
}

TEST(ExplorerButton, Screenshot)
{
    QWidget form;
    form.resize(5 * 74 + 4, 52);
    QMenu menu;
    menu.addAction(QStringLiteral("Reply"));
    const char* captions[] = {"&Rest", "&Hover", "&Down", "D&isabled", "&Menu"};
    TExplorerButton* buttons[5];
    for (int i = 0; i < 5; ++i) {
        buttons[i] = new TExplorerButton(&form);
        buttons[i]->setGeometry(2 + i * 74, 4, 70, 44);
        buttons[i]->setBitmap(sampleBitmap());
        buttons[i]->setCaption(QString::fromLatin1(captions[i]));
    }
    buttons[2]->setGroupIndex(1);
    buttons[2]->setDown(true);
    buttons[3]->setEnabled(false);
    buttons[4]->setDropDownMenu(&menu);
    form.show();
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(buttons[1]->mapToGlobal(QPoint(5, 5))));
    QApplication::sendEvent(buttons[1], &enter);
    EXPECT_TRUE(buttons[1]->highlighted());
    EXPECT_TRUE(SaveScreenshot(form, QStringLiteral("explorer_buttons")));
}
