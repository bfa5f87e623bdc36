#pragma once
// The received-message viewer: one received message with its sender,
// subject, body and attachments; saved or printed, answered or forwarded
// in a new composer that lives on when the viewer closes. Each viewer holds
// its own copy of the message. Not modal; freed when closed.

#include <QMainWindow>

#include <memory>
#include <string>

#include "mail/message.h"
#include "manager/dialogs/message_window_parts.h"

class QLineEdit;
class QMenu;

namespace Ui {
class TfrmInMessage;
}

namespace manager {

class TfrmCustomSend;
class TfrmMessage;

class TfrmInMessage : public QMainWindow {
    Q_OBJECT

public:
    explicit TfrmInMessage(QWidget* parent = nullptr);
    ~TfrmInMessage() override;

    Ui::TfrmInMessage* ui() const { return ui_.get(); }
    TmsMessage& msMessage1() { return msMessage1_; }
    int Tag = 0;
    void SetTemplatesFolder(const std::string& folder) { templatesFolder_ = folder; }
    // The custom-send options made at start-up; without one, one is made
    // for each use.
    void SetCustomSend(TfrmCustomSend* dialog) { customSend_ = dialog; }
    void SetFileName(const std::string& name);
    const std::string& CurrentFileName() const { return currentFileName_; }
    AttachmentPane& Attachments() { return *pane_; }
    QMenu* popupHandling() const { return popupHandling_; }

    void SetMailMessage(TmsMessage& message);
    // The composers they open are top-level windows of their own.
    TfrmMessage* Reply1Click();
    TfrmMessage* Forward1Click();
    void CustomSend1Click();
    bool CheckFileSave();
    void Open1Click();
    bool Save1Click();
    bool SaveAs1Click();
    void Print1Click();
    void SelectAll1Click();
    // Selects the ";"-separated entry of edtFrom around the caret.
    void edtFromMouseUp();
    // A label click: that row's box shows, the others hide.
    void showRow(QLineEdit* box);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void wireMenus();
    bool writeTo(const std::string& path);
    void trapEntered(QObject* trap);
    void leaveBox(QLineEdit* box);
    TfrmMessage* newComposer(const QString& subject);

    std::unique_ptr<Ui::TfrmInMessage> ui_;
    std::unique_ptr<AttachmentPane> pane_;
    QMenu* popupHandling_;
    TmsMessage msMessage1_;
    std::string currentFileName_;
    std::string templatesFolder_;
    TfrmCustomSend* customSend_ = nullptr;
    int busy_ = 0;
    bool shown_ = false;
};

}  // namespace manager
