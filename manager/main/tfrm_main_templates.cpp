// The Auto-Reply Templates tab: the list of template mail files, new and
// open through the message composer, delete and rename.

#include <QDir>
#include <QFileInfo>
#include <QSignalBlocker>
#include <QTreeWidget>

#include <memory>

#include "controls/qt_text.h"
#include "manager/core/listed_files.h"
#include "manager/core/manager_error.h"
#include "manager/dialogs/tfrm_message.h"
#include "manager/main/tfrm_main.h"
#include "manager/seam/dialog_seam.h"
#include "ui_tfrm_main.h"
#include "ui_tfrm_message.h"

namespace manager {

namespace {

constexpr int kTemplatesTab = 2;

std::string selectedTemplate(QTreeWidget* list)
{
    const QList<QTreeWidgetItem*> selected = list->selectedItems();
    return selected.isEmpty() ? std::string() : QStringToBytes(selected.front()->data(0, Qt::UserRole).toString());
}

}  // namespace

void TfrmMain::RefreshTemplates() { refreshFileList(ui_->lstVTemplates, folders_.templates, kTemplateExtension); }

// A composer filled for the request as new and open fill it; ours
// until shown.
std::unique_ptr<TfrmMessage> TfrmMain::templateComposer(const TemplateComposerRequest& request, QWidget* parent)
{
    composerRequests_.push_back(request);
    auto composer = std::make_unique<TfrmMessage>(parent);
    Ui::TfrmMessage& u = *composer->ui();
    // Save As starts in the templates folder for new and opened templates alike.
    composer->SetTemplatesFolder(folders_.templates);
    // A template saved into the templates folder is listed at once.
    connect(composer.get(), &TfrmMessage::Saved, this, [this](const QString& path) { templateSaved(path); });
    if (request.fileName.empty()) {
        u.lblFrom->setText(BytesToQString(request.sender.accountId));
        u.lblFromName->setText(BytesToQString(request.sender.name));
        u.lblFromAddress->setText(BytesToQString(request.sender.address));
        return composer;
    }
    composer->Tag = 10;
    composer->msMessage1().Clear();
    u.lblFilename->setText(BytesToQString(request.fileName));
    composer->msMessage1().LoadFromFile(request.fileName);
    return composer;
}

void TfrmMain::templateSaved(const QString& path)
{
    const QFileInfo saved(path);
    if (saved.absoluteDir() != QDir(BytesToQString(folders_.templates)))
        return;
    // Rebuilding a list that already shows the file would only lose its selection.
    QTreeWidget* list = ui_->lstVTemplates;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->data(0, Qt::UserRole).toString() == saved.fileName())
            return;
    RefreshTemplates();
}

void TfrmMain::OpenTemplateComposer(const TemplateComposerRequest& request)
{
    // The composer frees itself when closed; until it is shown it is ours,
    // so a template that cannot be read leaves no window behind.
    std::unique_ptr<TfrmMessage> composer = templateComposer(request, nullptr);
    TfrmMessage* shown = composer.release();
    shown->show();
    // The new template starts on its subject.
    if (request.fileName.empty())
        shown->lblSubjectClick();
}

void TfrmMain::MailMessageTemplate1Click()
{
    ui_->pageControlMain->setCurrentIndex(kTemplatesTab);
    OpenTemplateComposer({"", CurrentTemplateSender(tables_)});
}

std::string TfrmMain::NewTemplateOver(QWidget* asker)
{
    QString saved;
    // Run from a dialog's button, not from a guarded menu command.
    Guarded([&] {
        ui_->pageControlMain->setCurrentIndex(kTemplatesTab);
        // The modal dialog that asks would block a window of its own: the
        // composer runs modally over it, and is ours to free.
        std::unique_ptr<TfrmMessage> composer = templateComposer({"", CurrentTemplateSender(tables_)}, asker);
        composer->setAttribute(Qt::WA_DeleteOnClose, false);
        connect(composer.get(), &TfrmMessage::Saved, composer.get(),
                [&saved](const QString& path) { saved = path; });
        // The subject has the focus once the window shows.
        composer->lblSubjectClick();
        DialogSeam::RunModalWindow(*composer);
    });
    return QStringToBytes(saved);
}

void TfrmMain::btnARModifyClick()
{
    const std::string file = selectedTemplate(ui_->lstVTemplates);
    if (file.empty())
        return;
    OpenTemplateComposer({folders_.templates + file, {}});
}

void TfrmMain::btnARDeleteClick()
{
    if (DialogSeam::Question(this, QStringLiteral("Are you sure you want to delete this template?"),
                             QMessageBox::Yes | QMessageBox::No,
                             QStringLiteral(" Delete Confirmation")) != QMessageBox::Yes)
        return;
    try {
        const std::string file = selectedTemplate(ui_->lstVTemplates);
        if (file.empty())
            throw ManagerError("Nothing selected");
        DeleteListedFile(folders_.templates, file);
        RefreshTemplates();
    } catch (const std::exception&) {
        DialogSeam::Information(this, QStringLiteral("Unable to delete template"));
    }
}

void TfrmMain::lstVTemplatesEdited(QTreeWidgetItem* item)
{
    constexpr const char* failure = "Unable to rename template";
    renameListedItem(ui_->lstVTemplates, item, kTemplateExtension, TemplateNameProblem,
                     [this](const std::string& file, const std::string& newName) {
                         return RenameListedFile(folders_.templates, file, newName, kTemplateExtension, failure);
                     },
                     failure);
}

}  // namespace manager
