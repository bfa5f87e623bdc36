#include "manager/dialogs/tfrm_in_message.h"

#include <QCloseEvent>
#include <QFile>
#include <QFontDialog>
#include <QMenu>
#include <QTextStream>

#include "controls/explorer_button.h"
#include "controls/qt_text.h"
#include "manager/dialogs/tfrm_custom_send.h"
#include "manager/dialogs/tfrm_message.h"
#include "manager/seam/dialog_seam.h"
#include "platform/ini_file.h"
#include "ui_tfrm_in_message.h"
#include "ui_tfrm_message.h"

namespace manager {

TfrmInMessage::TfrmInMessage(QWidget* parent) : QMainWindow(parent), ui_(new Ui::TfrmInMessage)
{
    ui_->setupUi(this);
    setObjectName(QStringLiteral("frmInMessage"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlag(Qt::Window);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    setFont(font);
    QFont caption(QStringLiteral("Arial"));
    caption.setBold(true);
    caption.setItalic(true);
    caption.setPixelSize(13);
    ui_->panelCaption->setFont(caption);
    QFont body(QStringLiteral("Arial"));
    body.setPixelSize(13);
    ui_->REBody->setFont(body);
    ui_->REBody->setLineWrapMode(QTextEdit::NoWrap);
    ui_->REBody->setAcceptDrops(false);
    ui_->REBody->setContextMenuPolicy(Qt::NoContextMenu);
    ui_->lstVAttach->setContextMenuPolicy(Qt::NoContextMenu);
    ui_->ExplorerSendButton->setBitmap(MailPicture(24));
    ui_->ExplorerSendButton->setOptions(TExplorerButton::boPopupMark);
    popupHandling_ = new QMenu(this);
    popupHandling_->setObjectName(QStringLiteral("popupHandling"));
    popupHandling_->addActions({ui_->Reply1, ui_->Forward1});
    ui_->ExplorerSendButton->setDropDownMenu(popupHandling_);
    for (QObject* watched : std::initializer_list<QObject*>{ui_->lblFrom2, ui_->lblCC, ui_->lblSubject, ui_->Edit1,
                                                            ui_->Edit2, ui_->Edit3, ui_->REBody, ui_->edtFrom,
                                                            ui_->edtCc, ui_->edtSubject})
        watched->installEventFilter(this);
    // The traps lie in the tab order after their box.
    setTabOrder(ui_->edtFrom, ui_->Edit1);
    setTabOrder(ui_->Edit1, ui_->edtCc);
    setTabOrder(ui_->edtCc, ui_->Edit2);
    setTabOrder(ui_->Edit2, ui_->edtSubject);
    setTabOrder(ui_->edtSubject, ui_->Edit3);
    setTabOrder(ui_->Edit3, ui_->REBody);
    msMessage1_.SetContentType("text/plain");
    pane_ = std::make_unique<AttachmentPane>(ui_->Split, ui_->lstVAttach);
    wireMenus();
    resize(581, 444 + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
}

TfrmInMessage::~TfrmInMessage() = default;

void TfrmInMessage::wireMenus()
{
    connect(ui_->New1, &QAction::triggered, this, [this] { SetFileName("Untitled"); });
    connect(ui_->CustomSend1, &QAction::triggered, this, [this] { CustomSend1Click(); });
    connect(ui_->Open1, &QAction::triggered, this, [this] { Open1Click(); });
    connect(ui_->Save1, &QAction::triggered, this, [this] { Save1Click(); });
    connect(ui_->SaveAs1, &QAction::triggered, this, [this] { SaveAs1Click(); });
    connect(ui_->Print1, &QAction::triggered, this, [this] { Print1Click(); });
    connect(ui_->Undo1, &QAction::triggered, ui_->REBody, &QTextEdit::undo);
    auto focused = [this]() -> QObject* {
        for (QLineEdit* box : {ui_->edtFrom, ui_->edtCc, ui_->edtSubject})
            if (box->hasFocus())
                return box;
        return ui_->REBody;
    };
    connect(ui_->Cut1, &QAction::triggered, this, [focused] { QMetaObject::invokeMethod(focused(), "cut"); });
    connect(ui_->Copy1, &QAction::triggered, this, [focused] { QMetaObject::invokeMethod(focused(), "copy"); });
    connect(ui_->Paste1, &QAction::triggered, this, [focused] { QMetaObject::invokeMethod(focused(), "paste"); });
    connect(ui_->SelectAll1, &QAction::triggered, this, [this] { SelectAll1Click(); });
    connect(ui_->Reply1, &QAction::triggered, this, [this] { Reply1Click(); });
    connect(ui_->Forward1, &QAction::triggered, this, [this] { Forward1Click(); });

    auto modified = [this] { ui_->REBody->document()->setModified(true); };
    connect(ui_->edtFrom, &QLineEdit::textChanged, this, modified);
    connect(ui_->edtCc, &QLineEdit::textChanged, this, modified);
    connect(ui_->edtSubject, &QLineEdit::textChanged, this, [this, modified] {
        const QString subject = ui_->edtSubject->text();
        setWindowTitle(subject.isEmpty() ? QStringLiteral("New Message") : subject);
        modified();
    });
}

void TfrmInMessage::SetFileName(const std::string& name)
{
    currentFileName_ = name;
    setWindowTitle(FileCaption(BytesToQString(name)));
}

void TfrmInMessage::SetMailMessage(TmsMessage& message)
{
    BusyGuard busy(busy_);
    SetBodyLines(ui_->REBody, message.Body());
    const QString subject = BytesToQString(message.Subject());
    ui_->edtSubject->setText(subject);
    if (!subject.isEmpty())
        ui_->lblSubject->setText(subject);
    setWindowTitle(subject);
    const QString from = BytesToQString(message.Sender().Address());
    ui_->edtFrom->setText(from);
    if (!from.isEmpty())
        ui_->lblFrom2->setText(from);
    pane_->ShowAttachments(message);
}

void TfrmInMessage::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    try {
        if (Tag == 10)
            SetMailMessage(msMessage1_);
    } catch (const std::exception& error) {
        DialogSeam::Error(this, BytesToQString(error.what()));
    }
    ui_->REBody->document()->setModified(false);
}

void TfrmInMessage::showRow(QLineEdit* box)
{
    for (QLineEdit* each : {ui_->edtFrom, ui_->edtCc, ui_->edtSubject}) {
        if (each != box && each->isVisible())
            leaveBox(each);
        each->setVisible(each == box);
    }
    ui_->lblFrom2->setVisible(box != ui_->edtFrom);
    ui_->lblCC->setVisible(box != ui_->edtCc);
    ui_->lblSubject->setVisible(box != ui_->edtSubject);
    if (box)
        box->setFocus();
}

void TfrmInMessage::leaveBox(QLineEdit* box)
{
    if (box->text().isEmpty())
        return;
    if (box == ui_->edtFrom)
        ui_->lblFrom2->setText(box->text());
    else if (box == ui_->edtCc)
        ui_->lblCC->setText(box->text());
    else
        ui_->lblSubject->setText(box->text());
}

void TfrmInMessage::trapEntered(QObject* trap)
{
    if (trap == ui_->Edit1)
        showRow(ui_->edtFrom->isVisible() ? ui_->edtCc : ui_->edtFrom);
    else if (trap == ui_->Edit2)
        showRow(ui_->edtCc->isVisible() ? ui_->edtSubject : ui_->edtCc);
    else if (ui_->edtSubject->isVisible())
        ui_->REBody->setFocus();
    else
        showRow(ui_->edtSubject);
}

bool TfrmInMessage::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (watched == ui_->lblFrom2)
            showRow(ui_->edtFrom);
        else if (watched == ui_->lblCC)
            showRow(ui_->edtCc);
        else if (watched == ui_->lblSubject)
            showRow(ui_->edtSubject);
        else if (watched == ui_->edtFrom)
            QMetaObject::invokeMethod(this, [this] { edtFromMouseUp(); }, Qt::QueuedConnection);
    }
    if (event->type() == QEvent::FocusIn) {
        if (watched == ui_->Edit1 || watched == ui_->Edit2 || watched == ui_->Edit3)
            trapEntered(watched);
        else if (watched == ui_->REBody)
            showRow(nullptr);
    }
    if (event->type() == QEvent::FocusOut) {
        for (QLineEdit* box : {ui_->edtFrom, ui_->edtCc, ui_->edtSubject})
            if (watched == box)
                leaveBox(box);
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfrmInMessage::edtFromMouseUp()
{
    QLineEdit* box = ui_->edtFrom;
    const QString text = box->text();
    if (text.isEmpty())
        return;
    const int caret = box->cursorPosition();
    const qsizetype before = caret > 0 ? text.lastIndexOf(QLatin1Char(';'), caret - 1) : -1;
    const int start = static_cast<int>(before + 1);
    qsizetype end = text.indexOf(QLatin1Char(';'), start);
    if (end < 0)
        end = text.size();
    box->setSelection(start, static_cast<int>(end) - start);
}

TfrmMessage* TfrmInMessage::newComposer(const QString& subject)
{
    auto* composer = new TfrmMessage(nullptr);
    composer->ui()->lblFrom->setText(ui_->lblFrom->text());
    composer->ui()->lblFromName->setText(ui_->lblFromName->text());
    composer->ui()->lblFromAddress->setText(ui_->lblFromAddress->text());
    composer->SetTemplatesFolder(templatesFolder_);
    composer->ui()->edtSubject->setText(subject);
    composer->ui()->lblSubject->setText(subject);
    return composer;
}

TfrmMessage* TfrmInMessage::Reply1Click()
{
    TfrmMessage* composer = newComposer(QStringLiteral("Re: ") + ui_->edtSubject->text());
    composer->show();
    return composer;
}

TfrmMessage* TfrmInMessage::Forward1Click()
{
    QString name = ui_->lblFromName->text();
    if (name.isEmpty())
        name = ui_->lblFromAddress->text();
    TfrmMessage* composer =
        newComposer(QStringLiteral("Forward from ") + name + QStringLiteral(": ") + ui_->edtSubject->text());
    composer->ui()->REBody->setPlainText(ui_->REBody->toPlainText());
    composer->show();
    return composer;
}

void TfrmInMessage::CustomSend1Click()
{
    std::unique_ptr<TfrmCustomSend> own;
    TfrmCustomSend* dialog = customSend_;
    if (!dialog) {
        own = std::make_unique<TfrmCustomSend>(this);
        dialog = own.get();
    }
    if (DialogSeam::ExecModal(*dialog) != QDialog::Accepted)
        return;
    const platform::IniFile mailIni("MAIL.INI");
    const QString address = BytesToQString(mailIni.ReadString("Internet", "SMTPAddress", "")).trimmed();
    // CloseMail is read as the settings have it; nothing uses it.
    (void)mailIni.ReadString("Internet", "CloseMail", "1");
    if (address.isEmpty())
        DialogSeam::Information(this, QStringLiteral("You must enter a valid SMTP address in the preferences dialog box"));
}

bool TfrmInMessage::CheckFileSave()
{
    if (!ui_->REBody->document()->isModified())
        return true;
    const QString text = QStringLiteral("Save changes to %1?").arg(BytesToQString(currentFileName_));
    switch (DialogSeam::Question(this, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
    case QMessageBox::Yes:
        return Save1Click();
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

bool TfrmInMessage::writeTo(const std::string& path)
{
    BusyGuard busy(busy_);
    try {
        // The message as it was received; the window's edits are not taken.
        msMessage1_.SaveToFile(path);
    } catch (const std::exception& error) {
        DialogSeam::Error(this, BytesToQString(error.what()));
        return false;
    }
    return true;
}

bool TfrmInMessage::Save1Click()
{
    if (currentFileName_.empty() || currentFileName_ == "Untitled")
        return SaveAs1Click();
    if (!writeTo(currentFileName_))
        return false;
    ui_->REBody->document()->setModified(false);
    return true;
}

bool TfrmInMessage::SaveAs1Click()
{
    const QString path = ChooseSaveAsMailFile(this, templatesFolder_);
    if (path.isEmpty())
        return false;
    if (!writeTo(QStringToBytes(path)))
        return false;
    SetFileName(QStringToBytes(path));
    ui_->REBody->document()->setModified(false);
    return true;
}

void TfrmInMessage::Open1Click()
{
    if (!CheckFileSave())
        return;
    const QStringList chosen = RunFileDialog(
        this, {QString(), BytesToQString(templatesFolder_),
               QStringLiteral("Rich Text Files (*.RTF);;Text Files (*.TXT)"), QString()});
    if (chosen.isEmpty())
        return;
    QFile file(chosen.front());
    if (!file.open(QIODevice::ReadOnly)) {
        DialogSeam::Error(this, QStringLiteral("Cannot open file \"%1\"").arg(chosen.front()));
        return;
    }
    ui_->REBody->setPlainText(BytesToQString(file.readAll().toStdString()));
    SetFileName(QStringToBytes(chosen.front()));
    ui_->REBody->setFocus();
    ui_->REBody->document()->setModified(false);
}

void TfrmInMessage::Print1Click() { PrintBody(this, ui_->REBody, BytesToQString(currentFileName_)); }

void TfrmInMessage::SelectAll1Click()
{
    QFontDialog dialog(ui_->REBody->currentFont(), this);
    if (DialogSeam::ExecModal(dialog) != QDialog::Accepted)
        return;
    ui_->REBody->setCurrentFont(dialog.selectedFont());
    ui_->REBody->setFocus();
}

void TfrmInMessage::closeEvent(QCloseEvent* event)
{
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
    if (mayClose)
        event->accept();
    else
        event->ignore();
}

}  // namespace manager
