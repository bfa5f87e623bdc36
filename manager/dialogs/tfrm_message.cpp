#include "manager/dialogs/tfrm_message.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

#include "controls/qt_text.h"
#include "manager/core/merge_preview.h"
#include "manager/dialogs/tfrm_message_pre.h"
#include "manager/dialogs/tfrm_update_field.h"
#include "manager/seam/dialog_seam.h"
#include "platform/paths.h"
#include "ui_tfrm_message.h"

namespace manager {

namespace {

const char* const kNewMessage = "New Message";

}  // namespace

TfrmMessage::TfrmMessage(QWidget* parent) : QMainWindow(parent), ui_(new Ui::TfrmMessage)
{
    ui_->setupUi(this);
    setObjectName(QStringLiteral("frmMessage"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlag(Qt::Window);
    setAcceptDrops(true);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(font);
    QFont caption(QStringLiteral("Arial"));
    caption.setBold(true);
    caption.setItalic(true);
    caption.setPixelSize(16);
    ui_->panelCaption->setFont(caption);
    QFont body(QStringLiteral("Arial"));
    body.setPixelSize(13);
    ui_->REBody->setFont(body);
    ui_->REBody->setAcceptDrops(false);
    ui_->REBody->installEventFilter(this);
    ui_->lblSubject->installEventFilter(this);
    ui_->edtSubject->installEventFilter(this);
    ui_->imgMail->setPixmap(MailPicture(32));
    msMessage1_.SetContentType("text/plain");
    msMessage1_.SetReturnReceipt(false);
    msIncomingMessage_.SetContentType("text/plain");
    pane_ = std::make_unique<AttachmentPane>(ui_->Split, ui_->lstVAttach);
    templatesFolder_ = platform::ProgramDir();
    wireMenus();
    resize(651, 381 + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
}

TfrmMessage::~TfrmMessage() = default;

void TfrmMessage::wireMenus()
{
    connect(ui_->New1, &QAction::triggered, this, [this] { SetFileName("Untitled"); });
    connect(ui_->Open1, &QAction::triggered, this, [this] { Open1Click(); });
    connect(ui_->Save1, &QAction::triggered, this, [this] { Save1Click(); });
    connect(ui_->SaveAs1, &QAction::triggered, this, [this] { SaveAs1Click(); });
    connect(ui_->Print1, &QAction::triggered, this, [this] { Print1Click(); });
    connect(ui_->Close1, &QAction::triggered, this, &QWidget::close);
    connect(ui_->MergePreview1, &QAction::triggered, this, [this] { MergePreview1Click(); });
    connect(ui_->MergeCode1, &QAction::triggered, this, [this] { MergeCode1Click(); });
    connect(ui_->Undo1, &QAction::triggered, ui_->REBody, &QTextEdit::undo);
    connect(ui_->Cut1, &QAction::triggered, this, [this] { QMetaObject::invokeMethod(clipboardTarget(), "cut"); });
    connect(ui_->Copy1, &QAction::triggered, this, [this] { QMetaObject::invokeMethod(clipboardTarget(), "copy"); });
    connect(ui_->Paste1, &QAction::triggered, this, [this] { QMetaObject::invokeMethod(clipboardTarget(), "paste"); });
    connect(ui_->SelectAll1, &QAction::triggered, ui_->REBody, &QTextEdit::selectAll);

    PopupMenuREBody = new QMenu(this);
    PopupMenuREBody->setObjectName(QStringLiteral("PopupMenuREBody"));
    QAction* paste = new QAction(tr("&Paste"), this);
    paste->setShortcut(QKeySequence(QStringLiteral("Ctrl+V")));
    connect(paste, &QAction::triggered, ui_->Paste1, &QAction::trigger);
    PopupMenuREBody->addActions({ui_->Undo1, ui_->Cut1, ui_->Copy1, paste, ui_->SelectAll1});
    ui_->REBody->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui_->REBody, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenuREBody->popup(ui_->REBody->mapToGlobal(at)); });

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    QAction* add = PopupMenu1->addAction(tr("New Attachment(s)..."));
    QAction* remove = PopupMenu1->addAction(tr("Remove Attachment(s)..."));
    connect(add, &QAction::triggered, this, [this] { NewAttachmentsClick(); });
    connect(remove, &QAction::triggered, this, [this] { RemoveAttachmentsClick(); });
    connect(PopupMenu1, &QMenu::aboutToShow, this, [this, remove] { remove->setEnabled(pane_->HasSelection()); });
    ui_->lstVAttach->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui_->lstVAttach, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(ui_->lstVAttach->mapToGlobal(at)); });

    connect(ui_->edtSubject, &QLineEdit::textChanged, this, [this] { subjectChanged(); });
    connect(ui_->edtSubject, &QLineEdit::editingFinished, this, [this] { leaveSubject(); });
    QListWidget* list = ui_->lstVAttach;
    auto changed = [this] { SetModified(true); };
    connect(list, &QListWidget::itemChanged, this, changed);
    connect(list, &QListWidget::itemSelectionChanged, this, changed);
    connect(list->model(), &QAbstractItemModel::rowsInserted, this, changed);
    connect(list->model(), &QAbstractItemModel::rowsRemoved, this, changed);
}

QWidget* TfrmMessage::clipboardTarget() const
{
    if (ui_->edtSubject->hasFocus())
        return ui_->edtSubject;
    return ui_->REBody;
}

bool TfrmMessage::Modified() const { return ui_->REBody->document()->isModified(); }
void TfrmMessage::SetModified(bool on) { ui_->REBody->document()->setModified(on); }

void TfrmMessage::lblSubjectClick()
{
    ui_->lblSubject->hide();
    ui_->edtSubject->show();
    ui_->edtSubject->setFocus();
}

void TfrmMessage::subjectChanged()
{
    SetModified(true);
    const QString subject = ui_->edtSubject->text();
    setWindowTitle(subject.isEmpty() ? QString::fromLatin1(kNewMessage) : subject);
}

void TfrmMessage::leaveSubject()
{
    if (!ui_->edtSubject->text().isEmpty())
        ui_->lblSubject->setText(ui_->edtSubject->text());
}

bool TfrmMessage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui_->lblSubject && event->type() == QEvent::MouseButtonRelease) {
        lblSubjectClick();
        return true;
    }
    if (watched == ui_->edtSubject && event->type() == QEvent::FocusOut)
        leaveSubject();
    if (watched == ui_->REBody) {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Backtab) {
            lblSubjectClick();
            return true;
        }
        if (event->type() == QEvent::FocusIn && ui_->edtSubject->isVisible()) {
            leaveSubject();
            ui_->edtSubject->hide();
            ui_->lblSubject->show();
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfrmMessage::SetFileName(const std::string& name)
{
    currentFileName_ = name;
    setWindowTitle(FileCaption(BytesToQString(name)));
}

void TfrmMessage::SetMailMessage(TmsMessage& message)
{
    BusyGuard busy(busy_);
    loaded_.Assign(message);
    SetBodyLines(ui_->REBody, message.Body());
    const QString subject = BytesToQString(message.Subject());
    ui_->edtSubject->setText(subject);
    ui_->lblSubject->setText(subject.isEmpty() ? ui_->lblSubject->text() : subject);
    setWindowTitle(subject);
    pane_->ShowAttachments(message);
}

void TfrmMessage::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    FormShow();
}

void TfrmMessage::FormShow()
{
    if (currentFileName_.empty())
        currentFileName_ = QStringToBytes(ui_->lblFilename->text());
    try {
        if (Tag == 10)
            SetMailMessage(msMessage1_);
    } catch (const std::exception& error) {
        DialogSeam::Error(this, BytesToQString(error.what()));
    }
    SetModified(false);
}

bool TfrmMessage::CheckFileSave()
{
    if (!Modified())
        return true;
    setWindowTitle(FileCaption(ui_->edtSubject->text()));
    const QString text = currentFileName_.empty()
                             ? QStringLiteral("Save changes?")
                             : QStringLiteral("Save changes to %1?").arg(BytesToQString(currentFileName_));
    switch (DialogSeam::Question(this, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
    case QMessageBox::Yes:
        return currentFileName_.empty() ? SaveAs1Click() : Save1Click();
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

void TfrmMessage::PopulateTMessageObject()
{
    ComposerDraft draft;
    draft.senderName = QStringToBytes(ui_->lblFromName->text());
    draft.senderAddress = QStringToBytes(ui_->lblFromAddress->text());
    draft.subject = QStringToBytes(ui_->edtSubject->text());
    draft.body = BodyLines(ui_->REBody);
    draft.attachments = pane_->Listed();
    draft.mailToSend = EditsMailToSend;
    manager::PopulateTMessageObject(msMessage1_, draft, loaded_);
}

bool TfrmMessage::writeTo(const std::string& path)
{
    BusyGuard busy(busy_);
    try {
        PopulateTMessageObject();
        msMessage1_.SaveToFile(path);
    } catch (const std::exception& error) {
        DialogSeam::Error(this, BytesToQString(error.what()));
        return false;
    }
    return true;
}

bool TfrmMessage::Save1Click()
{
    if (currentFileName_.empty() || currentFileName_ == "Untitled")
        return SaveAs1Click();
    if (!writeTo(currentFileName_))
        return false;
    SetModified(false);
    emit Saved(BytesToQString(currentFileName_));
    return true;
}

bool TfrmMessage::SaveAs1Click()
{
    const QString path = ChooseSaveAsMailFile(this, templatesFolder_);
    if (path.isEmpty())
        return false;
    if (!writeTo(QStringToBytes(path)))
        return false;
    SetFileName(QStringToBytes(path));
    SetModified(false);
    emit Saved(path);
    return true;
}

void TfrmMessage::Open1Click()
{
    if (!CheckFileSave())
        return;
    const QStringList chosen = RunFileDialog(
        this, {QString(), BytesToQString(platform::ProgramDir()),
               QStringLiteral("Rich Text Files (*.EML);;Text Files (*.TXT);;All Files (*.*)"), QString()});
    if (chosen.isEmpty())
        return;
    const std::string path = QStringToBytes(chosen.front());
    try {
        BusyGuard busy(busy_);
        msMessage1_.LoadFromFile(path);
        EditsMailToSend = false;
        SetFileName(path);
        pane_->Clear();
        SetMailMessage(msMessage1_);
    } catch (const std::exception& error) {
        DialogSeam::Error(this, BytesToQString(error.what()));
        return;
    }
    ui_->REBody->setFocus();
    SetModified(false);
}

void TfrmMessage::Print1Click() { PrintBody(this, ui_->REBody, BytesToQString(currentFileName_)); }

void TfrmMessage::MergeCode1Click()
{
    TfrmUpdateField picker(this);
    if (DialogSeam::ExecModal(picker) != QDialog::Accepted)
        return;
    const QString code = QStringLiteral("<<") + picker.Keyword().toUpper() + QLatin1Char('~') +
                         picker.Value().toUpper() + QStringLiteral(">>");
    // Straight into the body at the caret: the user's clipboard stays his.
    ui_->REBody->textCursor().insertText(code);
}

void TfrmMessage::MergePreview1Click()
{
    TfrmMessagePre previewer(this);
    if (DialogSeam::ExecModal(previewer) != QDialog::Accepted)
        return;
    BusyGuard busy(busy_);
    const std::string file = MergePreviewFile();
    try {
        PopulateTMessageObject();
        WriteMergePreview(msMessage1_, msIncomingMessage_, file);
    } catch (const std::exception& error) {
        DialogSeam::Error(this, BytesToQString(error.what()));
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(BytesToQString(file)));
}

void TfrmMessage::NewAttachmentsClick()
{
    const QStringList chosen = RunFileDialog(
        this, {QStringLiteral("Select Attachment(s)"), QString(),
               QStringLiteral("All Files (*.*);;Compressed Files (*.ZIP);;Text Files (*.TXT);;Document Files "
                              "(*.DOC);;Sound Files (*.WAV);;HTML Document (*.HTM)"),
               QString(), QFileDialog::AcceptOpen, QFileDialog::ExistingFiles});
    for (const QString& path : chosen) {
        const std::string bytes = QStringToBytes(path);
        pane_->Add({mail::fileNamePart(bytes), bytes}, path, false);
    }
}

void TfrmMessage::RemoveAttachmentsClick() { pane_->RemoveSelected(); }

void TfrmMessage::AddDroppedFile(const std::string& path)
{
    pane_->Add({mail::fileNamePart(path), path}, BytesToQString(mail::fileNamePart(path)), true);
}

void TfrmMessage::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TfrmMessage::dropEvent(QDropEvent* event)
{
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            AddDroppedFile(QStringToBytes(url.toLocalFile()));
    event->acceptProposedAction();
}

void TfrmMessage::closeEvent(QCloseEvent* event)
{
    // A close while its own save or load runs is refused; the user may
    // close again once it has ended.
    if (busy_ > 0) {
        event->ignore();
        return;
    }
    bool mayClose = false;
    try {
        mayClose = CheckFileSave();
    } catch (...) {
        mayClose = false;
    }
    if (!mayClose) {
        event->ignore();
        return;
    }
    event->accept();
}

}  // namespace manager
