#pragma once
// The world of a message-window test: the manager's window world with a
// private cache folder (where the windows keep their attachments), file
// dialogs answered with chosen paths, and reading a saved mail file back
// with Python's email package.

#include <QFileDialog>

#include <deque>
#include <string>

#include "tests/support/temp_dir.h"
#include "window_fixture.h"

namespace managertest {

class MessageWindowTest : public WindowTest {
protected:
    ScopedEnv cache{"XDG_CACHE_HOME", dir.path() + "/cache"};
    // Each file dialog takes the next path; without one it is cancelled.
    std::deque<std::string> chosenFiles;
    // Other modal dialogs, by class name.
    std::function<int(QDialog&)> onOtherDialog;

    void SetUp() override
    {
        WindowTest::SetUp();
        onDialog = [this](QDialog& dialog) {
            if (auto* chooser = qobject_cast<QFileDialog*>(&dialog)) {
                if (chosenFiles.empty())
                    return int(QDialog::Rejected);
                chooser->selectFile(QString::fromStdString(chosenFiles.front()));
                chosenFiles.pop_front();
                return int(QDialog::Accepted);
            }
            return onOtherDialog ? onOtherDialog(dialog) : int(QDialog::Rejected);
        };
    }

    std::string file(const std::string& name, const std::string& bytes) const
    {
        const std::string path = dir.path() + "/" + name;
        test_support::writeFile(path, bytes);
        return path;
    }

    // Python's reading of a mail file: "subject", "from", "to", then one
    // "attachment NAME SIZE" line per attachment and the body text.
    static std::string pythonReading(const std::string& path);
};

}  // namespace managertest
