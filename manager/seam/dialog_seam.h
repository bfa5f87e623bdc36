#pragma once
// The one door through which every message box, file chooser and modal
// dialog of the configuration manager goes. The program shows them; a test
// installs answerers, which are handed each request and answer it without
// anything being shown, so no test waits on a click.

#include <QDialog>
#include <QMessageBox>
#include <QString>

#include <functional>

namespace manager {

enum class BoxKind { Information, Warning, Error, Question };

struct BoxRequest {
    BoxKind kind = BoxKind::Information;
    QString caption;
    QString text;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
};

struct FileRequest {
    QString caption;
    QString filter;
    QString defaultSuffix;
    bool save = false;
    // The first filter lists only the files the user may run.
    bool programsFirst = false;
};

class DialogSeam {
public:
    using BoxAnswerer = std::function<QMessageBox::StandardButton(const BoxRequest&)>;
    // Handed the filled dialog; returns its modal result (and may change
    // its fields first, as a user would).
    using DialogAnswerer = std::function<int(QDialog&)>;
    // The chosen file name; empty: cancelled.
    using FileAnswerer = std::function<QString(const FileRequest&)>;
    // Handed the shown window; works it as a user would, closing it when
    // done (a window left open is closed after it returns).
    using WindowAnswerer = std::function<void(QWidget&)>;

    // A box; the button pressed. An empty caption is the application's name.
    static QMessageBox::StandardButton Box(QWidget* parent, const BoxRequest& request);
    static void Information(QWidget* parent, const QString& text, const QString& caption = {});
    static void Error(QWidget* parent, const QString& text, const QString& caption = {});
    static QMessageBox::StandardButton Question(QWidget* parent, const QString& text,
                                                QMessageBox::StandardButtons buttons, const QString& caption = {});
    // Shows the dialog modally; its modal result.
    static int ExecModal(QDialog& dialog);
    // Shows a top-level window that is no dialog modally (over the modal
    // dialogs that asked for it, which would otherwise block its input) and
    // returns once it has closed.
    static void RunModalWindow(QWidget& window);
    static QString ChooseFile(QWidget* parent, const FileRequest& request);
    // The same, the chooser starting in `directory`.
    static QString ChooseFileIn(QWidget* parent, const FileRequest& request, const QString& directory);

    // Tests: answerers in place of the user (an empty one restores showing).
    static void SetBoxAnswerer(BoxAnswerer answerer);
    static void SetDialogAnswerer(DialogAnswerer answerer);
    static void SetFileAnswerer(FileAnswerer answerer);
    static void SetWindowAnswerer(WindowAnswerer answerer);
};

}  // namespace manager
