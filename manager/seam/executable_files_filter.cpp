#include "manager/seam/executable_files_filter.h"

#include <QFileDialog>
#include <QFileSystemModel>

namespace manager {

void ExecutableFilesFilter::Install(QFileDialog& chooser)
{
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    // Patterns would mislead: this filter tells programs, not names.
    chooser.setOption(QFileDialog::HideNameFilterDetails);
    auto* filter = new ExecutableFilesFilter(&chooser);
    filter->setSortCaseSensitivity(Qt::CaseInsensitive);
    chooser.setProxyModel(filter);
    // The chooser names a filter with or without its patterns, by Qt version.
    const QString first = chooser.nameFilters().value(0);
    const QString firstCaption = first.section(QStringLiteral(" ("), 0, 0);
    const auto isFirst = [first, firstCaption](const QString& chosen) {
        return chosen == first || chosen == firstCaption;
    };
    filter->SetProgramsOnly(isFirst(chooser.selectedNameFilter()));
    QObject::connect(&chooser, &QFileDialog::filterSelected, filter,
                     [filter, isFirst](const QString& chosen) { filter->SetProgramsOnly(isFirst(chosen)); });
}

void ExecutableFilesFilter::SetProgramsOnly(bool on)
{
    if (on == programsOnly_)
        return;
    programsOnly_ = on;
    invalidateFilter();
}

bool ExecutableFilesFilter::filterAcceptsRow(int row, const QModelIndex& parent) const
{
    if (!programsOnly_)
        return true;
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (!files)
        return true;
    const QFileInfo info = files->fileInfo(files->index(row, 0, parent));
    return info.isDir() || info.isExecutable();
}

bool ExecutableFilesFilter::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (!files)
        return QSortFilterProxyModel::lessThan(left, right);
    const bool leftDir = files->isDir(left);
    if (leftDir != files->isDir(right))
        return leftDir;
    // The size and date columns by value, not by their shown text.
    switch (left.column()) {
    case 1:
        return files->size(left) < files->size(right);
    case 3:
        return files->lastModified(left) < files->lastModified(right);
    default:
        return QSortFilterProxyModel::lessThan(left, right);
    }
}

}  // namespace manager
