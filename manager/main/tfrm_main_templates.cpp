// The Auto-Reply Templates tab: the list of template mail files, new and
// open through the message composer, delete and rename.

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

void TfrmMain::OpenTemplateComposer(const TemplateComposerRequest& request)
{
    composerRequests_.push_back(request);
    // The composer frees itself when closed; until it is shown it is ours,
    // so a template that cannot be read leaves no window behind.
    auto composer = std::make_unique<TfrmMessage>(nullptr);
    Ui::TfrmMessage& u = *composer->ui();
    if (request.fileName.empty()) {
        u.lblFrom->setText(BytesToQString(request.sender.accountId));
        u.lblFromName->setText(BytesToQString(request.sender.name));
        u.lblFromAddress->setText(BytesToQString(request.sender.address));
        composer->SetTemplatesFolder(folders_.templates);
        TfrmMessage* shown = composer.release();
        shown->show();
        // The new template starts on its subject.
        shown->lblSubjectClick();
        return;
    }
    composer->Tag = 10;
    composer->msMessage1().Clear();
    u.lblFilename->setText(BytesToQString(request.fileName));
    composer->msMessage1().LoadFromFile(request.fileName);
    composer.release()->show();
}

void TfrmMain::MailMessageTemplate1Click()
{
    ui_->pageControlMain->setCurrentIndex(kTemplatesTab);
    OpenTemplateComposer({"", CurrentTemplateSender(tables_)});
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
    renameListedItem(ui_->lstVTemplates, item, folders_.templates, kTemplateExtension, TemplateNameProblem,
                     "Unable to rename template");
}

}  // namespace manager
