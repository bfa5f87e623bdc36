#pragma once
// The manager's world for one window test: its own settings and program
// folders with a data folder, the dialog seam answered by the test (every
// box and modal dialog is recorded, none is shown), and screenshots.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

#include "manager/seam/dialog_seam.h"
#include "platform/files.h"
#include "store/data_folder.h"
#include "tests/support/scratch_settings.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace managertest {

using test_support::ScopedEnv;

// The last opened top-level window of a kind (windows a command shows
// without handing them back).
template <typename Window>
Window* newest()
{
    Window* found = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* typed = qobject_cast<Window*>(window))
            found = typed;
    return found;
}

class WindowTest : public ::testing::Test, protected test_support::ScratchSettings {
protected:
    WindowTest() : ScratchSettings("mgrw") {}

    std::vector<manager::BoxRequest> boxes;
    QMessageBox::StandardButton boxAnswer = QMessageBox::Ok;
    // Called with each box as it comes (before it is answered).
    std::function<void(const manager::BoxRequest&)> onBox;
    std::vector<std::string> dialogs;  // class names of the modal dialogs
    std::function<int(QDialog&)> onDialog;

    void SetUp() override
    {
        platform::ForceDirectories(dir.path() + "/config");
        store::CreateDataFolder(homeDir(), false);
        manager::DialogSeam::SetBoxAnswerer([this](const manager::BoxRequest& request) {
            boxes.push_back(request);
            if (onBox)
                onBox(request);
            return boxAnswer;
        });
        manager::DialogSeam::SetDialogAnswerer([this](QDialog& dialog) {
            dialogs.push_back(dialog.metaObject()->className());
            return onDialog ? onDialog(dialog) : int(QDialog::Rejected);
        });
        manager::DialogSeam::SetFileAnswerer([](const manager::FileRequest&) { return QString(); });
        // A modal window no test works is closed at once, never waited on.
        manager::DialogSeam::SetWindowAnswerer([](QWidget&) {});
    }

    void TearDown() override
    {
        manager::DialogSeam::SetBoxAnswerer({});
        manager::DialogSeam::SetDialogAnswerer({});
        manager::DialogSeam::SetFileAnswerer({});
        manager::DialogSeam::SetWindowAnswerer({});
    }

    std::string homeDir() const { return dir.path() + "/home/"; }
    std::string settingsFile() const { return dir.path() + "/config/tarsel.ini"; }
    void writeSettings(const std::string& text) const { test_support::writeFile(settingsFile(), text); }
    std::vector<std::string> boxTexts() const
    {
        std::vector<std::string> texts;
        for (const auto& box : boxes)
            texts.push_back(box.text.toStdString());
        return texts;
    }

    static void screenshot(QWidget& window, const char* name)
    {
        const QString folder = QStringLiteral(TARSEL_BINARY_DIR "/screenshots");
        QDir().mkpath(folder);
        EXPECT_TRUE(window.grab().save(folder + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png")));
    }
};

}  // namespace managertest
