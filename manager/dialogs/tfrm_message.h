#pragma once
// The message composer and template editor: one mail message (subject,
// plain-text body, attachments) edited in a window of its own, saved as a
// mail file, printed, with merge codes inserted through the picker. Each
// window holds its own message; openers fill it before showing the window.
// Not modal and freed when closed, unless a modal dialog asked for it: then
// it is run modally over that dialog and its opener frees it.

#include <QMainWindow>

#include <memory>
#include <string>

#include "mail/message.h"
#include "manager/dialogs/message_window_parts.h"

class QMenu;

namespace Ui {
class TfrmMessage;
}

namespace manager {

class TfrmMessage : public QMainWindow {
    Q_OBJECT

public:
    explicit TfrmMessage(QWidget* parent = nullptr);
    ~TfrmMessage() override;

    Ui::TfrmMessage* ui() const { return ui_.get(); }
    // The window's own message; openers load or copy into it.
    TmsMessage& msMessage1() { return msMessage1_; }
    TmsMessage& msIncomingMessage() { return msIncomingMessage_; }
    // 10: show msMessage1 when the window is shown.
    int Tag = 0;
    // Set by the opener of an outbox or sent message: Save keeps its
    // recipients and other fields. File > Open makes the window a template
    // editor again.
    bool EditsMailToSend = false;
    // Where Save As starts (the templates folder).
    void SetTemplatesFolder(const std::string& folder) { templatesFolder_ = folder; }
    const std::string& TemplatesFolder() const { return templatesFolder_; }
    const std::string& CurrentFileName() const { return currentFileName_; }
    AttachmentPane& Attachments() { return *pane_; }
    bool Busy() const { return busy_ > 0; }

    void lblSubjectClick();
    void SetFileName(const std::string& name);
    void SetMailMessage(TmsMessage& message);
    // The save question; false: the operation in progress is abandoned.
    bool CheckFileSave();
    void Open1Click();
    // False when cancelled or failed (the failure was shown).
    bool Save1Click();
    bool SaveAs1Click();
    void Print1Click();
    void MergeCode1Click();
    void MergePreview1Click();
    void NewAttachmentsClick();
    void RemoveAttachmentsClick();
    void PopulateTMessageObject();
    // A dropped file, as the shell would hand it over.
    void AddDroppedFile(const std::string& path);
    bool Modified() const;
    void SetModified(bool on);

signals:
    // A Save or Save As wrote the message to `path`.
    void Saved(const QString& path);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void wireMenus();
    void FormShow();
    bool writeTo(const std::string& path);
    void subjectChanged();
    void leaveSubject();
    QWidget* clipboardTarget() const;

    std::unique_ptr<Ui::TfrmMessage> ui_;
    std::unique_ptr<AttachmentPane> pane_;
    QMenu* PopupMenuREBody;
    QMenu* PopupMenu1;
    TmsMessage msMessage1_;
    TmsMessage msIncomingMessage_;
    // The message as it was shown: what the window keeps without showing.
    TmsMessage loaded_;
    std::string currentFileName_;
    std::string templatesFolder_;
    int busy_ = 0;
    bool shown_ = false;
};

}  // namespace manager
