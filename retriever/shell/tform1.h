#pragma once
// The hidden start-up window of a processor: the application's main window,
// never shown. It owns the tray icon, the tray menu and the about box;
// closing it ends the program.

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QWidget>

#include "controls/tep_about_dialog.h"
#include "controls/tep_tray_icon.h"
#include "retriever/shell/processor_profile.h"

namespace shell {

class TForm1 : public QWidget {
    Q_OBJECT

public:
    explicit TForm1(const ProcessorProfile& profile, QWidget* parent = nullptr);

    TEPAboutDialog* aboutD;
    QMenu* TrayPopup;
    TEPTrayIcon* EPTrayIcon1;
    // Tray menu items, in menu order; C2 and N1 are null for posta.
    QAction* O1;
    QAction* N3;
    QAction* S1;
    QAction* S2;
    QAction* N2;
    QMenu* H1;
    QAction* C2 = nullptr;
    QAction* N1 = nullptr;
    QAction* A1;
    QAction* C1;

    // The check mark on "Start" (on) or "Stop" (off).
    void ShowProcessing(bool on);

signals:
    // The window is closing: the program ends.
    void closing();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QActionGroup* startStop_;
};

}  // namespace shell
