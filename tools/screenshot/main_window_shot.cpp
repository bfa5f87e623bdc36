#include "tools/screenshot/main_window_shot.h"

#include <QApplication>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <vector>

#include "manager/main/accounts_tab_parts.h"
#include "manager/main/tfrm_main.h"
#include "manager/seam/dialog_seam.h"
#include "store/data_folder.h"
#include "store/settings.h"
#include "ui_tfrm_main.h"

namespace tools {

namespace {

// Nothing may wait on a click: every box is answered and kept, every modal
// dialog cancelled and named, for the error text.
class QuietSeam {
public:
    QuietSeam()
    {
        manager::DialogSeam::SetBoxAnswerer([this](const manager::BoxRequest& box) {
            raised_.push_back(box.text.toStdString());
            return QMessageBox::Ok;
        });
        manager::DialogSeam::SetDialogAnswerer([this](QDialog& dialog) {
            raised_.push_back(std::string("dialog ") + dialog.metaObject()->className());
            return int(QDialog::Rejected);
        });
        manager::DialogSeam::SetFileAnswerer([](const manager::FileRequest&) { return QString(); });
    }
    ~QuietSeam()
    {
        manager::DialogSeam::SetBoxAnswerer({});
        manager::DialogSeam::SetDialogAnswerer({});
        manager::DialogSeam::SetFileAnswerer({});
    }
    QuietSeam(const QuietSeam&) = delete;
    QuietSeam& operator=(const QuietSeam&) = delete;

    void ThrowIfRaised(const std::string& when) const
    {
        if (raised_.empty())
            return;
        std::string text = "post32 " + when + " raised:";
        for (const std::string& line : raised_)
            text += "\n  " + line;
        throw ShotError(text);
    }

private:
    std::vector<std::string> raised_;
};

QTreeWidgetItem* firstAttachedAgent(QTreeWidget& tree)
{
    for (QTreeWidgetItemIterator it(&tree); *it; ++it)
        if ((*it)->data(0, manager::TfrmMain::kImageRole).toInt() == manager::kAgentImage)
            return *it;
    return nullptr;
}

// Runs start-up, selects the agent, grabs; the window is closed by the caller.
QPixmap shoot(manager::TfrmMain& window, const ShotRequest& request, const QuietSeam& seam)
{
    window.FormCreate();
    window.resize(request.width, request.height);
    window.show();
    QApplication::processEvents();
    seam.ThrowIfRaised("at start-up");

    Ui::TfrmMain& ui = *window.ui();
    ui.pageControlMain->setCurrentWidget(ui.TSaccounts);
    ui.treeMain->expandAll();
    QTreeWidgetItem* agent = firstAttachedAgent(*ui.treeMain);
    if (!agent)
        throw ShotError("no agent is attached to an account, so there is no history panel to show");
    ui.treeMain->setCurrentItem(agent);
    QApplication::processEvents();
    seam.ThrowIfRaised("on selecting the agent");
    if (ui.GridAgentHistory->model()->rowCount() == 0)
        throw ShotError("the attached agent " + agent->text(0).toStdString() + " has no history rows");
    return window.grab();
}

}  // namespace

void WriteMainWindowShot(const ShotRequest& request)
{
    const std::string database = store::Settings().ReadFolders().database;
    if (!store::DataFolderHasTables(database))
        throw ShotError(database + " is not a data folder (make one with tarsel-mkdata)");

    const QuietSeam seam;
    manager::TfrmMain window;
    QPixmap picture;
    try {
        picture = shoot(window, request, seam);
    } catch (...) {
        // The first reason is the one worth telling.
        try {
            window.FormClose();
        } catch (...) {
        }
        throw;
    }
    window.FormClose();
    seam.ThrowIfRaised("on closing");
    if (!picture.save(QString::fromStdString(request.pngFile), "PNG"))
        throw ShotError("cannot write " + request.pngFile);
}

}  // namespace tools
