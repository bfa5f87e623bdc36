#pragma once
// A user setting the whole system up in post32's windows: a folder, an
// account with its restriction, an auto-reply template written in the
// composer, an agent made in the wizard and attached to the account. Each
// step opens the window a user would open from the main window; every modal
// dialog, box and file chooser is answered through the dialog seam as the
// user would answer it (no table or file is written by the test itself).

#include <QDialog>
#include <QString>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/manager/window/agent_driver.h"

namespace manager {
class TfrmMain;
}

namespace managertest {

// What the user types into the windows.
struct SystemSetup {
    std::string folder = "Office";
    std::string account = "Sales";
    std::string accountAddress = "sales@example.org";
    std::string login = "sales";
    std::string password = "secret";
    std::string popAddress, smtpAddress;
    // The restriction: "Subject contains" this word, fetch, delete from the server.
    std::string restrictionWord = "order";
    // The agent: "Subject contains" this word; an auto-reply from the
    // template, then a forward.
    std::string agent = "OrderDesk";
    std::string triggerWord = "urgent";
    std::string forwardAddress = "boss@example.org";
    std::string templateFile;  // full path, in the templates folder
    std::string replySubject = "Your order is noted";
};

class SystemUser {
public:
    explicit SystemUser(SystemSetup setup);
    ~SystemUser();
    SystemUser(const SystemUser&) = delete;
    SystemUser& operator=(const SystemUser&) = delete;

    // The steps, in the order a user takes them.
    void NewFolder(manager::TfrmMain& main);
    void NewAccount(manager::TfrmMain& main);
    void AddRestriction(manager::TfrmMain& main);
    void WriteTemplate(manager::TfrmMain& main);
    void NewAgent(manager::TfrmMain& main);
    void AttachAgent(manager::TfrmMain& main);

    // The texts of the boxes shown so far (each answered Yes / OK).
    const std::vector<std::string>& Boxes() const { return boxes_; }
    // The class names of the modal dialogs that nobody answered (cancelled).
    const std::vector<std::string>& Unanswered() const { return unanswered_; }

private:
    int answer(QDialog& dialog);

    SystemSetup setup_;
    AgentDriver driver_;
    std::map<std::string, std::function<int(QDialog&)>> answers_;
    std::vector<std::string> boxes_;
    std::vector<std::string> unanswered_;
};

}  // namespace managertest
