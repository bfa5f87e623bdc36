#pragma once
// Selects an item of the main window's account tree by its caption, as a
// click on it would; fails the test when the tree has no such item.

#include <gtest/gtest.h>

#include <QTreeWidget>

#include "manager/main/tfrm_main.h"
#include "ui_tfrm_main.h"

namespace managertest {

inline void SelectTreeItem(manager::TfrmMain& main, const QString& text)
{
    const auto found = main.ui()->treeMain->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_FALSE(found.isEmpty()) << text.toStdString();
    main.ui()->treeMain->setCurrentItem(found.front());
    found.front()->setSelected(true);
}

}  // namespace managertest
