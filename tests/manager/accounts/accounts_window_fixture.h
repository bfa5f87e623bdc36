#pragma once
// The main window on a fresh data folder for the accounts tab's tests: the
// dialog seam answered per dialog class, the tree's items found by text,
// rows read back through a table object of their own.

#include "window_fixture.h"

#include <QApplication>
#include <QTreeWidget>

#include <map>
#include <memory>

#include "manager/core/account_commands.h"
#include "manager/main/tfrm_main.h"
#include "tables/table.h"
#include "table_rows.h"
#include "ui_tfrm_main.h"

namespace accountstest {


class AccountsWindowTest : public managertest::WindowTest {
protected:
    std::unique_ptr<manager::TfrmMain> main;
    // Answers by dialog class name ("manager::TfrmNewNode"); no answer: Rejected.
    std::map<std::string, std::function<int(QDialog&)>> answers;

    void SetUp() override
    {
        WindowTest::SetUp();
        onDialog = [this](QDialog& dialog) {
            const auto found = answers.find(dialog.metaObject()->className());
            return found == answers.end() ? int(QDialog::Rejected) : found->second(dialog);
        };
        main = std::make_unique<manager::TfrmMain>();
        main->FormCreate();
    }
    void TearDown() override
    {
        main.reset();
        WindowTest::TearDown();
    }

    Ui::TfrmMain& ui() { return *main->ui(); }
    QTreeWidget* tree() { return ui().treeMain; }

    QTreeWidgetItem* item(const QString& text)
    {
        const auto found = tree()->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.front();
    }
    void select(const QString& text)
    {
        QTreeWidgetItem* it = item(text);
        ASSERT_NE(it, nullptr) << text.toStdString();
        tree()->setCurrentItem(it);
        it->setSelected(true);
    }
    int countItems(const QString& text)
    {
        return static_cast<int>(tree()->findItems(text, Qt::MatchExactly | Qt::MatchRecursive).size());
    }

    // The account "Sales" (login "sales", POP server "pop.example.org",
    // polled every 30 minutes) in a new folder "Office", selected in the tree.
    void addSelectedSalesAccount()
    {
        manager::AccountCommands accounts(main->Tables(), main->Ids(), homeDir());
        manager::NewAccountFields fields;
        fields.name = "Sales";
        fields.login = "sales";
        fields.password = "pw";
        fields.pop = "pop.example.org";
        fields.minutes = "30";
        fields.nextDate = "12/09/26";
        fields.nextTime = "01:05PM";
        accounts.NewAccount(accounts.NewFolder("Office"), fields);
        main->populateGroups();
        select(QStringLiteral("Sales"));
    }

    Rows rows(const char* file, const std::vector<std::string>& fields) const
    {
        return TableRows(homeDir(), file, fields);
    }
};

}  // namespace accountstest
