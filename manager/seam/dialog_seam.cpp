#include "manager/seam/dialog_seam.h"

#include <QEvent>
#include <QEventLoop>
#include <QFileDialog>
#include <QGuiApplication>
#include <QPointer>

#include "manager/seam/executable_files_filter.h"

namespace manager {

namespace {

struct Answerers {
    DialogSeam::BoxAnswerer box;
    DialogSeam::DialogAnswerer dialog;
    DialogSeam::FileAnswerer file;
    DialogSeam::WindowAnswerer window;
};

Answerers& answerers()
{
    static Answerers installed;
    return installed;
}

QMessageBox::Icon iconOf(BoxKind kind)
{
    switch (kind) {
    case BoxKind::Warning:
        return QMessageBox::Warning;
    case BoxKind::Error:
        return QMessageBox::Critical;
    case BoxKind::Question:
        return QMessageBox::Question;
    case BoxKind::Information:
        break;
    }
    return QMessageBox::Information;
}

// Ends a modal window's loop when the window is hidden by a close; a
// minimised window (a spontaneous hide) is still open.
class ClosedWatcher : public QObject {
public:
    explicit ClosedWatcher(QEventLoop& loop) : loop_(loop) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Hide && !event->spontaneous())
            loop_.quit();
        return QObject::eventFilter(watched, event);
    }

private:
    QEventLoop& loop_;
};

}  // namespace

QMessageBox::StandardButton DialogSeam::Box(QWidget* parent, const BoxRequest& request)
{
    BoxRequest shown = request;
    if (shown.caption.isEmpty())
        shown.caption = QGuiApplication::applicationDisplayName();
    if (answerers().box)
        return answerers().box(shown);
    QMessageBox box(iconOf(shown.kind), shown.caption, shown.text, shown.buttons, parent);
    // A box of its own never waits behind an always-on-top window.
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void DialogSeam::Information(QWidget* parent, const QString& text, const QString& caption)
{
    Box(parent, {BoxKind::Information, caption, text, QMessageBox::Ok});
}

void DialogSeam::Error(QWidget* parent, const QString& text, const QString& caption)
{
    Box(parent, {BoxKind::Error, caption, text, QMessageBox::Ok});
}

QMessageBox::StandardButton DialogSeam::Question(QWidget* parent, const QString& text,
                                                 QMessageBox::StandardButtons buttons, const QString& caption)
{
    return Box(parent, {BoxKind::Question, caption, text, buttons});
}

int DialogSeam::ExecModal(QDialog& dialog)
{
    if (answerers().dialog)
        return answerers().dialog(dialog);
    return dialog.exec();
}

void DialogSeam::RunModalWindow(QWidget& window)
{
    QPointer<QWidget> shown(&window);
    window.setWindowModality(Qt::ApplicationModal);
    if (answerers().window) {
        window.show();
        answerers().window(window);
        if (shown && shown->isVisible())
            shown->close();
        return;
    }
    QEventLoop loop;
    ClosedWatcher watcher(loop);
    window.installEventFilter(&watcher);
    QObject::connect(&window, &QObject::destroyed, &loop, &QEventLoop::quit);
    window.show();
    if (window.isVisible())
        loop.exec(QEventLoop::DialogExec);
    if (shown)
        shown->removeEventFilter(&watcher);
}

QString DialogSeam::ChooseFile(QWidget* parent, const FileRequest& request)
{
    return ChooseFileIn(parent, request, {});
}

QString DialogSeam::ChooseFileIn(QWidget* parent, const FileRequest& request, const QString& directory)
{
    if (answerers().file)
        return answerers().file(request);
    QFileDialog chooser(parent, request.caption, directory, request.filter);
    chooser.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    chooser.setDefaultSuffix(request.defaultSuffix);
    if (request.programsFirst)
        ExecutableFilesFilter::Install(chooser);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
        return {};
    return chooser.selectedFiles().front();
}

void DialogSeam::SetBoxAnswerer(BoxAnswerer answerer) { answerers().box = std::move(answerer); }
void DialogSeam::SetDialogAnswerer(DialogAnswerer answerer) { answerers().dialog = std::move(answerer); }
void DialogSeam::SetFileAnswerer(FileAnswerer answerer) { answerers().file = std::move(answerer); }
void DialogSeam::SetWindowAnswerer(WindowAnswerer answerer) { answerers().window = std::move(answerer); }

}  // namespace manager
