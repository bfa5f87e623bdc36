#pragma once
// The file chooser's list narrowed to programs while its first filter is
// chosen: a file's name cannot tell a program here, its executable bit
// can. Folders always stay, so the user can walk to the program.

#include <QSortFilterProxyModel>

class QFileDialog;

namespace manager {

class ExecutableFilesFilter : public QSortFilterProxyModel {
public:
    explicit ExecutableFilesFilter(QObject* parent = nullptr) : QSortFilterProxyModel(parent) {}

    // Puts the filter on the chooser (which then shows its own list, never
    // the desktop's, which would not ask the filter): only programs under
    // the chooser's first name filter, every file under the others.
    static void Install(QFileDialog& chooser);

    void SetProgramsOnly(bool on);

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override;
    // Folders before files, as the chooser lists them without a filter.
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    bool programsOnly_ = true;
};

}  // namespace manager
