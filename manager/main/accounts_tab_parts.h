#pragma once
// What the main window keeps for its accounts tab: the record identifier
// source, the tree's pop-up menu, the history grid's model and the guard
// that keeps a tree rebuild from being re-entered.

#include <QAction>
#include <QMenu>

#include "manager/dialogs/agent_history_model.h"
#include "manager/main/tfrm_main.h"
#include "store/record_ids.h"

namespace manager {

// Image numbers that tell a tree item's kind.
enum TreeImage { kAgentImage = 2, kRootImage = 5, kAccountImage = 6, kFolderImage = 7 };

struct TfrmMain::AccountsTabParts {
    store::RecordIds ids;
    QMenu* popup = nullptr;
    QAction* popupNew = nullptr;
    QAction* popupFolder = nullptr;
    QAction* popupAccount = nullptr;
    QAction* popupDelete = nullptr;
    QAction* popupRename = nullptr;
    QAction* separator1 = nullptr;
    QAction* popupAttach = nullptr;
    QAction* popupDetach = nullptr;
    QAction* separator2 = nullptr;
    QAction* popupProperties = nullptr;
    AgentHistoryModel* history = nullptr;
    bool rebuilding = false;
};

}  // namespace manager
