// The tray icon's tip and mouse signals, and the about box as Execute
// fills it.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>

#include "controls/tep_about_dialog.h"
#include "controls/tep_image.h"
#include "controls/tep_tray_icon.h"
#include "controls/system_resources.h"
#include "ui_tep_about_dialog_form.h"

TEST(TrayIcon, TipIsCutToWhatTheNotificationAreaHolds)
{
    TEPTrayIcon tray;
    tray.setHint(QString(80, QLatin1Char('x')));
    EXPECT_EQ(tray.hint().size(), 80);
    EXPECT_EQ(tray.shownTip(), QString(63, QLatin1Char('x')));
}

TEST(TrayIcon, ClicksBecomeMouseSignalsInOrder)
{
    TEPTrayIcon tray;
    QStringList order;
    QObject::connect(&tray, &TEPTrayIcon::clicked, [&] { order << "click"; });
    QObject::connect(&tray, &TEPTrayIcon::doubleClicked, [&] { order << "dblclick"; });
    QObject::connect(&tray, &TEPTrayIcon::mouseDown, [&](Qt::MouseButton b, Qt::KeyboardModifiers, bool dbl, QPoint) {
        order << QStringLiteral("down%1%2").arg(int(b)).arg(dbl ? "d" : "");
    });
    QObject::connect(&tray, &TEPTrayIcon::mouseUp, [&](Qt::MouseButton b, Qt::KeyboardModifiers, QPoint) {
        order << QStringLiteral("up%1").arg(int(b));
    });
    emit tray.systemTrayIcon()->activated(QSystemTrayIcon::Trigger);
    emit tray.systemTrayIcon()->activated(QSystemTrayIcon::DoubleClick);
    // a right click without a menu gives only the button-up signal
    emit tray.systemTrayIcon()->activated(QSystemTrayIcon::Context);
    EXPECT_EQ(order, (QStringList{"click", "up1", "dblclick", "down1d", "up2"}));
}

TEST(TrayIcon, MenuReferenceClearsWhenTheMenuGoes)
{
    TEPTrayIcon tray;
    auto* menu = new QMenu;
    tray.setPopupMenu(menu);
    delete menu;
    EXPECT_EQ(tray.popupMenu(), nullptr);
    emit tray.systemTrayIcon()->activated(QSystemTrayIcon::Context);  // no crash
}

TEST(AboutBox, LabelFormatsOfTheValueLines)
{
    EXPECT_EQ(FormatNumberPicture(1234567, QStringLiteral("#,###\" KB\"")), QStringLiteral("1,234,567 KB"));
    EXPECT_EQ(FormatNumberPicture(999, QStringLiteral("#,###\" KB\"")), QStringLiteral("999 KB"));
    EXPECT_EQ(FormatNumberPicture(1000, QStringLiteral("####")), QStringLiteral("1000"));
    EXPECT_EQ(FormatPercentText(QStringLiteral("%d%% Free"), 100), QStringLiteral("100% Free"));
}

TEST(AboutBox, DefaultsComeFromTheApplication)
{
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Tarsel Mail Processor"));
    TEPAboutDialog about;
    auto form = about.CreateForm();
    const Ui::TEPAboutDialogFm& ui = *form->ui();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("About Tarsel Mail Processor"));
    EXPECT_EQ(ui.ProductLb->text(), QStringLiteral("Tarsel Mail Processor"));
    EXPECT_FALSE(ui.CopyrightLb->text().isEmpty());
    EXPECT_TRUE(ui.SerialLb->isHidden());
    EXPECT_TRUE(ui.CustomBt->isHidden());
    // no resource meter on this system: all free
    EXPECT_EQ(ui.ResourcesLb->text(), QStringLiteral("100% Free"));
    EXPECT_TRUE(ui.MemoryLb->text().endsWith(QStringLiteral(" KB")));
    EXPECT_TRUE(ui.MemoryLb->text().contains(QLatin1Char(',')));
    EXPECT_EQ(form->size(), QSize(342, 221));
}

TEST(AboutBox, PropertiesFillTheFormAndButtonsReport)
{
    TEPAboutDialog about;
    about.caption = QStringLiteral("About it");
    about.product = QStringLiteral("Tarsel");
    about.serial = QStringLiteral("S-1");
    about.customButton = QStringLiteral("More");
    about.description = QStringLiteral("Fetches mail.");
    QSignalSpy custom(&about, &TEPAboutDialog::customClicked);
    QSignalSpy icon(&about, &TEPAboutDialog::iconDoubleClicked);
    auto form = about.CreateForm();
    const Ui::TEPAboutDialogFm& ui = *form->ui();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("About it"));
    EXPECT_EQ(ui.ProductLb->text(), QStringLiteral("Tarsel"));
    EXPECT_FALSE(ui.SerialLb->isHidden());
    EXPECT_FALSE(ui.CustomBt->isHidden());
    ui.CustomBt->click();
    EXPECT_EQ(custom.count(), 1);
    emit ui.AboutIm->doubleClicked();
    EXPECT_EQ(icon.count(), 1);
    ui.OKBt->click();
    EXPECT_EQ(form->result(), QDialog::Accepted);

    const QString folder = QStringLiteral(TARSEL_BINARY_DIR "/screenshots");
    QDir().mkpath(folder);
    QPixmap icon32(32, 32);
    icon32.fill(QColor(30, 90, 160));
    ui.AboutIm->setPicture(icon32);
    EXPECT_TRUE(form->grab().save(folder + QStringLiteral("/about_box.png")));
}
