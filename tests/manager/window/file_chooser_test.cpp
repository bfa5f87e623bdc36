// The seam's own file chooser, shown for real: a chooser asked for programs
// first lists only the files the user may run until "All Files" is chosen.
#include "window_fixture.h"

#include <QComboBox>
#include <QFileDialog>
#include <QListView>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>

namespace managertest {
namespace {

class FileChooser : public WindowTest {
protected:
    // The names the chooser's list shows, once it has read the folder.
    static QStringList listed(QFileDialog& chooser, int expected)
    {
        auto* view = chooser.findChild<QListView*>(QStringLiteral("listView"));
        if (!view)
            return {};
        QStringList names;
        for (int i = 0; i < 200 && names.size() != expected; ++i) {
            QTest::qWait(10);
            names.clear();
            for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
                names << view->model()->index(row, 0, view->rootIndex()).data().toString();
        }
        return names;
    }

    void makeFile(const std::string& name, mode_t mode)
    {
        const std::string path = folder + name;
        test_support::writeFile(path, "#!/bin/sh\n");
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
    }

    std::string folder = dir.path() + "/programs/";
};

TEST_F(FileChooser, ProgramsFirstListsOnlyWhatCanRunUntilAllFilesIsChosen)
{
    platform::ForceDirectories(folder + "my tools");
    makeFile("launch.sh", 0755);
    makeFile("notes.txt", 0644);
    makeFile("viewer", 0700);
    manager::DialogSeam::SetFileAnswerer({});

    QStringList programs, all, filters;
    bool shown = false;
    QTimer::singleShot(0, [&] {
        QFileDialog* chooser = newest<QFileDialog>();
        if (!chooser)
            return;
        shown = true;
        auto* types = chooser->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        if (!types)
            return chooser->reject();
        for (int i = 0; i < types->count(); ++i)
            filters << types->itemText(i);
        programs = listed(*chooser, 3);
        screenshot(*chooser, "manager_program_chooser");
        // The user picks "All Files" in the filter list.
        QTest::keyClick(types, Qt::Key_Down);
        all = listed(*chooser, 4);
        chooser->reject();
    });
    manager::FileRequest request;
    request.caption = QStringLiteral("Open");
    request.filter = QStringLiteral("Application files (*);;All Files (*)");
    request.programsFirst = true;
    EXPECT_EQ(manager::DialogSeam::ChooseFileIn(nullptr, request, QString::fromStdString(folder)), QString());
    ASSERT_TRUE(shown);
    EXPECT_EQ(filters, (QStringList{QStringLiteral("Application files"), QStringLiteral("All Files")}));
    // Folders stay, first, so the user can walk to the program.
    EXPECT_EQ(programs, (QStringList{QStringLiteral("my tools"), QStringLiteral("launch.sh"), QStringLiteral("viewer")}));
    EXPECT_EQ(all, (QStringList{QStringLiteral("my tools"), QStringLiteral("launch.sh"), QStringLiteral("notes.txt"),
                                QStringLiteral("viewer")}));
}

}  // namespace
}  // namespace managertest
