#include "retriever/shell/tform1.h"

#include <QApplication>
#include <QCloseEvent>

#include "controls/qt_text.h"

namespace shell {

namespace {

QAction* item(QMenu* menu, const char* name, const QString& text)
{
    QAction* action = menu->addAction(text);
    action->setObjectName(QLatin1String(name));
    return action;
}

QAction* separator(QMenu* menu, const char* name)
{
    QAction* action = menu->addSeparator();
    action->setObjectName(QLatin1String(name));
    return action;
}

}  // namespace

TForm1::TForm1(const ProcessorProfile& profile, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(BytesToQString(profile.startupCaption));

    aboutD = new TEPAboutDialog(this);
    aboutD->setObjectName(QStringLiteral("aboutD"));
    aboutD->product = QStringLiteral("Tarsel");
    aboutD->caption = QStringLiteral("About ") + BytesToQString(profile.applicationTitle);
    aboutD->description = BytesToQString(profile.aboutDescription);

    TrayPopup = new QMenu(this);
    TrayPopup->setObjectName(QStringLiteral("TrayPopup"));
    O1 = item(TrayPopup, "O1", BytesToQString(profile.openItemCaption));
    N3 = separator(TrayPopup, "N3");
    S1 = item(TrayPopup, "S1", QStringLiteral("Start"));
    S2 = item(TrayPopup, "S2", QStringLiteral("Stop"));
    N2 = separator(TrayPopup, "N2");
    H1 = TrayPopup->addMenu(QStringLiteral("Help"));
    H1->setObjectName(QStringLiteral("H1"));
    if (profile.helpContents) {
        C2 = item(H1, "C2", QStringLiteral("Contents..."));
        N1 = separator(H1, "N1");
    }
    A1 = item(H1, "A1", QStringLiteral("&About"));
    C1 = item(TrayPopup, "C1", QStringLiteral("Close"));

    startStop_ = new QActionGroup(this);
    startStop_->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    for (QAction* a : {S1, S2}) {
        a->setCheckable(true);
        startStop_->addAction(a);
    }
    S2->setChecked(true);

    EPTrayIcon1 = new TEPTrayIcon(this);
    EPTrayIcon1->setObjectName(QStringLiteral("EPTrayIcon1"));
    EPTrayIcon1->setIcon(QApplication::windowIcon());
    EPTrayIcon1->setHint(BytesToQString(profile.trayHint));
    EPTrayIcon1->setPopupMenu(TrayPopup);
    connect(EPTrayIcon1, &TEPTrayIcon::doubleClicked, O1, &QAction::trigger);
}

void TForm1::ShowProcessing(bool on)
{
    S1->setChecked(on);
    S2->setChecked(!on);
}

void TForm1::closeEvent(QCloseEvent* event)
{
    emit closing();
    event->accept();
}

}  // namespace shell
