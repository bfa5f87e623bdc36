#pragma once
// The account properties dialog: the account's servers and login, its
// polling schedule, its restrictions and its attached agents. The main
// window fills the account fields and writes them back after OK; the
// restrictions and attachments are written at once, whatever button later
// closes the dialog.

#include <QDialog>

#include <functional>
#include <memory>
#include <string>

#include "manager/core/account_commands.h"

class QAction;
class QMenu;

namespace Ui {
class TfrmModify;
}

namespace manager {

class AttachedAgents;
class RestrictionCommands;

// What the dialog works on: the selected account's restrictions and
// attachments, and the main window's attach and detach commands.
struct ModifyCommands {
    RestrictionCommands* restrictions = nullptr;
    AttachedAgents* agents = nullptr;
    AccountCommands* accounts = nullptr;
    std::string accountId;
    std::function<void()> attach;
    std::function<void()> detach;
};

class TfrmModify : public QDialog {
    Q_OBJECT

public:
    TfrmModify(QWidget* parent, ModifyCommands commands);
    ~TfrmModify() override;

    Ui::TfrmModify* ui() const { return ui_.get(); }
    QMenu* PopupMenuRules() const { return popupRules_; }

    void SetProperties(const AccountProperties& properties);
    AccountProperties Properties() const;

    void FormShow();
    void RefreshRules();
    void RefreshAgents();

    void lstVRulesChange();
    void btnAddClick();
    void btnRemoveClick();
    void btnPropertiesClick();
    void calChange();
    // Leaving the date field, or OK: a whole date that exists moves the
    // calendar; anything else puts today into both.
    void MedtNextDateChange();
    void btnAttachClick();
    void btnDetachClick();
    void lstVAttachedAgentsChange();
    // OK: a blank account name or a server text the retriever cannot use
    // is refused on its page and the dialog stays open.
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void wire();
    void wireSchedule();
    void stepCalendar(int years, int months);
    int selectedRule() const;
    // Runs a handler; an error is shown and ends it.
    void guarded(const std::function<void()>& handler);

    std::unique_ptr<Ui::TfrmModify> ui_;
    ModifyCommands commands_;
    QMenu* popupRules_;
    QAction* popupAdd_;
    QAction* popupRemove_;
    QAction* popupSeparator_;
    QAction* popupProperties_;
};

}  // namespace manager
