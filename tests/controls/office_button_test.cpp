// The office button's three looks and when it clicks.

#include <gtest/gtest.h>

#include <QAccessible>
#include <QSignalSpy>

#include "controls/office_button.h"
#include "widget_test_helpers.h"

TEST(OfficeButton, HeldButtonKeepsThePressedLookOnlyWhileOverIt)
{
    TOfficeButton button;
    QSignalSpy clicks(&button, &TOfficeButton::clicked);
    SendMouse(button, QEvent::MouseButtonPress, QPoint(10, 10));
    EXPECT_TRUE(button.hot());
    EXPECT_EQ(button.offset(), 1);

    SendMouse(button, QEvent::MouseMove, QPoint(150, 10), Qt::NoButton);
    EXPECT_FALSE(button.hot());  // the rest look while outside
    EXPECT_EQ(button.offset(), 0);
    SendMouse(button, QEvent::MouseMove, QPoint(20, 10), Qt::NoButton);
    EXPECT_TRUE(button.hot());
    EXPECT_EQ(button.offset(), 1);  // still held: pressed again on re-entry

    SendMouse(button, QEvent::MouseMove, QPoint(150, 10), Qt::NoButton);
    SendMouse(button, QEvent::MouseButtonRelease, QPoint(150, 10));
    EXPECT_EQ(clicks.count(), 0);  // released outside
    EXPECT_FALSE(button.pressed());

    SendMouse(button, QEvent::MouseButtonPress, QPoint(10, 10));
    SendMouse(button, QEvent::MouseButtonRelease, QPoint(10, 10));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(button.offset(), 0);
}

TEST(OfficeButton, HotOutlineTakesTheBorderColourAndWidth)
{
    TOfficeButton button;
    button.setBorderWidth(7);
    EXPECT_EQ(button.borderWidth(), 3);
    button.setBorderWidth(0);
    EXPECT_EQ(button.borderWidth(), 1);
    button.setBorderWidth(3);
    button.setBorderColor(QColor(200, 0, 0));
    const QImage rest = Render(button);
    EXPECT_NE(rest.pixel(50, 3), qRgb(200, 0, 0));

    SendMouse(button, QEvent::MouseButtonPress, QPoint(50, 12));
    const QImage hot = Render(button);
    // a 4-pixel pen along the rectangle 3, 3, Width - 2, Height - 2
    EXPECT_EQ(hot.pixel(50, 2), qRgb(200, 0, 0));
    EXPECT_EQ(hot.pixel(50, 3), qRgb(200, 0, 0));
    EXPECT_EQ(hot.pixel(50, 5), qRgb(255, 255, 255));  // the highlight line
    EXPECT_EQ(hot.pixel(2, 12), qRgb(200, 0, 0));
    SendMouse(button, QEvent::MouseButtonRelease, QPoint(50, 12));
}

TEST(OfficeButton, GlyphsAreElevenPixelsSquareOnWhite)
{
    for (const char* name : {"OFF", "ON", "DOWN"}) {
        const QImage glyph = TOfficeButton::Glyph(QString::fromLatin1(name));
        EXPECT_EQ(glyph.size(), QSize(11, 11)) << name;
        EXPECT_EQ(glyph.pixel(0, 0), qRgb(255, 255, 255)) << name;
    }
    EXPECT_NE(TOfficeButton::Glyph(QStringLiteral("ON")), TOfficeButton::Glyph(QStringLiteral("OFF")));

    TOfficeButton rest, hot;
    SendMouse(hot, QEvent::MouseButtonPress, QPoint(10, 10));
    EXPECT_TRUE(SaveScreenshot(rest, QStringLiteral("office_button_rest")));
    EXPECT_TRUE(SaveScreenshot(hot, QStringLiteral("office_button_pressed")));
    SendMouse(hot, QEvent::MouseButtonRelease, QPoint(10, 10));
}

// A handler that destroys the button: nothing touches it afterwards (the
// release is not offered on to the parent).
TEST(OfficeButton, AClickHandlerMayDestroyTheButton)
{
    QWidget form;
    auto* button = new TOfficeButton(&form);
    button->resize(100, 24);
    form.show();
    bool clicked = false;
    QObject::connect(button, &TOfficeButton::clicked, [&] {
        clicked = true;
        delete button;
    });
    SendMouse(*button, QEvent::MouseButtonPress, QPoint(10, 10));
    SendMouse(*button, QEvent::MouseButtonRelease, QPoint(10, 10));
    EXPECT_TRUE(clicked);
    EXPECT_TRUE(form.findChildren<TOfficeButton*>().isEmpty());
}

TEST(OfficeButton, AReaderSeesAButtonNamedByItsCaptionThatItCanPress)
{
    TOfficeButton button;
    button.setCaption(QStringLiteral("Details >>"));
    QSignalSpy clicks(&button, &TOfficeButton::clicked);
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&button);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->role(), QAccessible::Button);
    EXPECT_EQ(face->text(QAccessible::Name).toStdString(), "Details >>");
    button.setCaption(QStringLiteral("Hide Details <<"));
    EXPECT_EQ(face->text(QAccessible::Name).toStdString(), "Hide Details <<");
    // A name given for a reader wins over the caption.
    button.setAccessibleName(QStringLiteral("Show the log"));
    EXPECT_EQ(face->text(QAccessible::Name).toStdString(), "Show the log");

    QAccessibleActionInterface* actions = face->actionInterface();
    ASSERT_NE(actions, nullptr);
    EXPECT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    actions->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(clicks.count(), 1);
    // A disabled button is not pressed.
    button.setEnabled(false);
    actions->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(clicks.count(), 1);
}
