#pragma once
// What the composer and the received-message viewer share: the attachment
// pane with the private folder of the files it lists, the file dialogs run
// through the dialog seam, printing the body, the caption helpers and a
// guard that keeps a window from closing while its own command runs.

#include <QFileDialog>
#include <QPixmap>
#include <QString>
#include <QStringList>

#include <string>
#include <vector>

#include "manager/core/attachment_folder.h"
#include "manager/core/composer_message.h"

class QListWidget;
class QTextEdit;
class QWidget;
class TTwoWaySplitter;
class TmsCustomMessage;

namespace manager {

// The lower pane of the body's splitter: one item per attachment; each
// item's data is the index of its entry in the path list, which only
// Clear empties, so items stay valid when others are removed.
class AttachmentPane {
public:
    AttachmentPane(TTwoWaySplitter* split, QListWidget* list);

    void Clear();
    // Lists the message's attachments, each written into the window's
    // private folder first; the pane opens when there is one.
    void ShowAttachments(const TmsCustomMessage& message);
    void Add(const ComposerAttachment& entry, const QString& caption, bool withIcon);
    void RemoveSelected();
    bool HasSelection() const;
    // The listed attachments, in list order.
    std::vector<ComposerAttachment> Listed() const;
    const std::vector<ComposerAttachment>& Paths() const { return paths_; }
    const AttachmentFolder& Folder() const { return folder_; }

private:
    void open(bool on);

    TTwoWaySplitter* split_;
    QListWidget* list_;
    std::vector<ComposerAttachment> paths_;
    AttachmentFolder folder_;
};

struct FileDialogSpec {
    QString caption;
    QString folder;
    QString filter;
    QString defaultSuffix;
    QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
    QFileDialog::FileMode fileMode = QFileDialog::ExistingFile;
};
// The chosen files; empty when cancelled. Overwriting is asked by the caller.
QStringList RunFileDialog(QWidget* parent, const FileDialogSpec& spec);
// The Save As name of a mail file, starting in `folder`; empty when the
// user cancels or will not overwrite the file that is there.
QString ChooseSaveAsMailFile(QWidget* parent, const std::string& folder);

// The print dialog; when confirmed, the body as one document of that title.
void PrintBody(QWidget* parent, QTextEdit* body, const QString& title);

// The mail picture of the windows' header strip: an envelope.
QPixmap MailPicture(int size);

// The text after the last "/" (or "\" or ":", as names typed elsewhere have).
QString FileNamePartOf(const QString& name);
// "name - application title".
QString FileCaption(const QString& name);

std::vector<std::string> BodyLines(const QTextEdit* body);
void SetBodyLines(QTextEdit* body, const std::vector<std::string>& lines);

// Counts a window's running command; the window refuses to close meanwhile.
class BusyGuard {
public:
    explicit BusyGuard(int& count) : count_(count) { ++count_; }
    ~BusyGuard() { --count_; }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

private:
    int& count_;
};

}  // namespace manager
