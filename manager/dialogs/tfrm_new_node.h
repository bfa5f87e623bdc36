#pragma once
// The account wizard: seven steps collecting a new account's name, folder,
// servers, login, address, schedule and the two choices of its default
// restriction. It writes no table; each folder item carries its folder row,
// so the main window files the account in the folder the user picked.

#include <QDialog>

#include <memory>

#include "manager/core/account_commands.h"

namespace Ui {
class TfrmNewNode;
}

namespace manager {

class TfrmNewNode : public QDialog {
    Q_OBJECT

public:
    explicit TfrmNewNode(QWidget* parent = nullptr);
    ~TfrmNewNode() override;

    Ui::TfrmNewNode* ui() const { return ui_.get(); }

    void AddFolder(const QString& name, int recNo, bool selected);
    // The selected folder's row; 0 with none selected.
    int SelectedFolderRecNo() const;
    NewAccountFields Fields() const;
    // The two YES/NO choices of the default restriction.
    void SetChoices(bool retrieve, bool remove);

    // The date and time fields get today's date and the time now.
    void FormShow();
    void NewNodeWizFinish();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void accountFieldChanged();
    // Fills the user name from the address while the user has typed none.
    void identificationDone();
    bool nextPressed() const;

    std::unique_ptr<Ui::TfrmNewNode> ui_;
    // The user name the wizard itself put in, not one the user typed.
    QString filledLogin_;
};

}  // namespace manager
