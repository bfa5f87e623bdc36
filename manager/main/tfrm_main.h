#pragma once
// The configuration manager's main window: the three tabs, the menus, the
// status bar and sounds, the holder of the manager's tables, folder globals
// and dial-up component, its status log (SendtoLog) and the program's
// exception handler (AppException). What commands write lives in
// manager/core; the methods here keep the window's names and stay thin.

#include <QMainWindow>
#include <QPointer>

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "mail/message.h"
#include "mail/net/pop3_client.h"
#include "mail/net/smtp_client.h"
#include "mail/net/tag_ras.h"
#include "manager/core/manager_tables.h"
#include "manager/core/status_log.h"
#include "manager/dialogs/tfrm_custom_send.h"
#include "manager/dialogs/tfrm_rem.h"
#include "manager/core/template_sender.h"
#include "manager/dialogs/tfrm_status.h"
#include "manager/dialogs/tsplash_form.h"
#include "platform/qt/sound_player.h"
#include "store/settings.h"
#include "tables/error_report.h"

class QLabel;
class QMenu;
class QTreeWidget;
class QTreeWidgetItem;
class TTable;

namespace store {
class RecordIds;
}

namespace Ui {
class TfrmMain;
}

namespace manager {

class MessageOperations;
class TfrmMessage;

class TfrmMain : public QMainWindow {
    Q_OBJECT

public:
    explicit TfrmMain(QWidget* parent = nullptr);
    ~TfrmMain() override;

    Ui::TfrmMain* ui() const { return ui_.get(); }
    ManagerTables& Tables() { return tables_; }
    TagRas& agRas1() { return agRas1_; }
    // MessagesFolder, AgentsFolder, TemplatesFolder, DatabaseFolder.
    store::FolderSettings& Folders() { return folders_; }
    store::Settings& SettingsFile() { return settings_; }

    // The program block hands over the windows made around this one.
    void SetSplash(TSplashForm* splash) { splash_ = splash; }
    TSplashForm* Splash() const { return splash_; }
    // The status window exists from now on; the lines logged so far go in.
    void SetStatusWindow(TfrmStatus* status);
    TfrmStatus* frmStatus() const { return frmStatus_; }

    // Start-up: settings, folders, the engine property, the tables, the
    // tree. An exception ends it at its step and goes to AppException.
    void FormCreate();
    void FormShow();
    void FormResize();
    // Writes the folder keys and closes the tables (once).
    void FormClose();
    bool Closed() const { return closed_; }

    // Status bar panel 0, a line on top of the log, the last message.
    void SendtoLog(const std::string& text, int level = 0);
    void AppException(const std::exception& error);
    int ErrorCount() const { return log_.Errors(); }
    const StatusLog& Log() const { return log_; }
    std::string StatusText() const;

    // Plays a sound file unless [Misc] SoundsDisabled is set; true when a
    // file was found and played.
    bool PlayWave(const std::string& fileName);
    const std::vector<std::string>& PlayedWaves() const { return playedWaves_; }

    // Menu commands of this window.
    void mnuFileDeleteClick();
    void mnuFilePropertiesClick();
    void mnuRenameClick();
    void Refresh1Click();
    void EnableAutoProcessor1Click();
    void DisableAutoProcessor1Click();
    void Status1Click();
    void Exit1Click();
    void SetPreferences1Click();
    void Contents1Click();
    void VisitKalder1Click();
    void SuggestProductImprovements1Click();
    void OtherCoolSoftware1Click();
    void About1Click();
    void pageControlMainChange();
    // The menus' hidden entries.
    void Script1Click();
    void FindMessage1Click();
    void MailMergeWizard1Click();
    void UpdateSoftware1Click();

    // Account tree, agents and templates tabs, table maintenance: the
    // commands come with their own windows.
    void populateGroups();
    void treeMainChange(QTreeWidgetItem* item);
    void RefreshAgents();
    void RefreshTemplates();
    void lstVAgentsChange();
    void lstVTemplatesChange();
    void B1Click();
    void Position1Click();
    void A1Click();
    void MailMessageTemplate1Click();
    // The same for a modal dialog ("&Create New"): the composer is modal over
    // `asker`; the path the new template was saved to, empty when unsaved.
    std::string NewTemplateOver(QWidget* asker);
    void Delete1Click();
    void mnuPropertiesClick();
    void mnuAttachClick();
    void mnuDetachClick();
    void btnAgentsDeleteClick();
    void btnAgentsModifyClick();
    void btnARDeleteClick();
    void btnARModifyClick();
    void ReIndex1Click();
    void Pack1Click();
    void Zap1Click();

    // The accounts tab: the tree's pop-up menu, rename, the history panel
    // and the record identifiers its commands make (tfrm_main_tree.cpp,
    // tfrm_main_accounts.cpp, tfrm_main_maintenance.cpp).
    void PopupMenuTreePopup();
    void ExpandPanel();
    void RetractPanel();
    void editTreeItem();
    void treeMainEdited(QTreeWidgetItem* item);
    QMenu* PopupMenuTree() const;
    store::RecordIds& Ids();
    static constexpr int kRecNoRole = Qt::UserRole;
    static constexpr int kImageRole = Qt::UserRole + 1;
    // Message operations on the selected account's outbox, sent and
    // received rows (no visible command invokes them).
    TmsMessage& msMessage1() { return msMessage1_; }
    TmsSMTP& msSMTP1() { return msSMTP1_; }
    TmsRemotePOP& msRemotePOP1() { return msRemotePOP1_; }
    void SetMessageWindows(TfrmRem* rem, TfrmCustomSend* customSend);
    TfrmRem* frmRem() const { return frmRem_.data(); }
    MessageOperations Messages();
    void NewMessage1Click();
    void Open2Click();
    void MenuItem7Click();
    void MenuItem2Click();
    void DeleteMessage1Click();
    void MenuItem8Click();
    void MenuItem3Click();
    void SendNow1Click();
    void MenuItem10Click();
    void MenuItem6Click();
    void Checkwhatsontheserver1Click();
    void Properties1Click() {}
    void Forward1Click() {}
    void MoveMessage();
    void SendMessage(const std::string& toAddress, const std::string& toName, const std::string& fromName,
                     const std::string& fromAddress, const std::string& subject, const std::string& body,
                     const std::vector<std::string>& attachmentPaths);
    void DataSourceSentDataChange() { msMessage1_.Clear(); }
    void DataSourceReceivedDataChange() { msMessage1_.Clear(); }
    static void TablePendingAfterInsert(TTable& pending);
    // The message lists' in-place renames (lstVReceivedEdited,
    // lstVSentEdited, lstVOutBoxEdited): the row's SUBJECT.
    void lstVMessagesEdited(const char* tableName, const std::string& caption);
    void lstVOutBoxDblClick() { Open2Click(); }
    void lstVSentDblClick() { MenuItem7Click(); }
    // The record count of the actions table in a box.
    void btnToolOpenClick();
    void lstVReceivedColumnClick(QTreeWidget* list, int column);
    int lstVReceivedCompare(QTreeWidgetItem* item1, QTreeWidgetItem* item2) const;
    // Agents and templates tabs: renaming a list item renames its file.
    void lstVAgentsEdited(QTreeWidgetItem* item);
    void lstVTemplatesEdited(QTreeWidgetItem* item);
    // Whether an item of lstVAgents may be attached to an account: a file
    // made by hand whose name the agent-name check refuses is listed (so it
    // can be deleted or renamed) but could never be found by its AGENT name.
    static bool IsAttachableAgentItem(const QTreeWidgetItem& item);
    // What the templates tab hands the message composer: the template file
    // to load (empty for a new one) and the sender of a new template.
    struct TemplateComposerRequest {
        std::string fileName;
        TemplateSender sender;
    };
    // Opens the composer on a template; every request is kept for the tests.
    void OpenTemplateComposer(const TemplateComposerRequest& request);
    const std::vector<TemplateComposerRequest>& ComposerRequests() const { return composerRequests_; }

    // Runs `action`; whatever it throws goes to AppException.
    template <typename F>
    void Guarded(F&& action);

    static constexpr const char* kAutoProcessorText =
        "Sorry in this release you must manually enable both Agent and Mail Retriever services.  You may find them "
        "in the tarsel program group.";

signals:
    // FormClose has run: the program ends.
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct AccountsTabParts;
    AccountsTabParts& accountsTab() const;
    void wireAccountsTab();
    std::shared_ptr<AccountsTabParts> accountsTab_;

    void wireMenus();
    void wireDialup();
    void wireAgentTabs();
    // A composer filled for a templates-tab request; the caller shows it.
    std::unique_ptr<TfrmMessage> templateComposer(const TemplateComposerRequest& request, QWidget* parent);
    void templateSaved(const QString& path);
    // After the preferences' OK: the lists and the open composers that
    // used `previousTemplates` follow the folder globals.
    void followNewFolders(const std::string& previousTemplates);
    // Fills an agents or templates list from its folder.
    void refreshFileList(QTreeWidget* list, const std::string& folder, const char* extension);
    // Renames a listed file (the file name, the new name) and returns the
    // file's new name; throws when it cannot.
    using ListedRename = std::function<std::string(const std::string&, const std::string&)>;
    // An agents or templates list item renamed in place: `rename` moves what
    // it names, or the caption is put back and the user told why.
    void renameListedItem(QTreeWidget* list, QTreeWidgetItem* item, const char* extension,
                          std::string (*nameProblem)(const std::string&), const ListedRename& rename,
                          const char* failure);
    // Sets the File menu's Delete and Properties from a list's selection
    // while that list's tab is shown.
    void followListInFileMenu(int tab, bool selected);
    // A message box through the seam, with the start-up splash put away first.
    void showMessage(const std::string& text);
    void putSplashAway();
    void openDocumentation(const char* anchor);

    std::unique_ptr<Ui::TfrmMain> ui_;
    QLabel* statusPanel0_;
    QLabel* statusPanel1_;
    ManagerTables tables_;
    TagRas agRas1_;
    store::Settings settings_;
    store::FolderSettings folders_;
    StatusLog log_;
    QPointer<TfrmStatus> frmStatus_;
    QPointer<TSplashForm> splash_;
    platform::SoundPlayer sounds_;
    std::vector<std::string> playedWaves_;
    tables::ErrorReporter previousReporter_;
    bool foldersRead_ = false;
    // Message operations.
    void wireMessages();
    // The table handlers go before the members they use.
    void unwireMessages();
    void openOutgoing(int box);
    void deleteMessage(int box);
    TmsMessage msMessage1_;
    TmsSMTP msSMTP1_;
    TmsRemotePOP msRemotePOP1_;
    QPointer<TfrmRem> frmRem_;
    QPointer<TfrmCustomSend> frmCustomSend_;
    int sortColumn_ = 0;
    bool sortAscending_ = false;
    bool closed_ = false;
    std::vector<TemplateComposerRequest> composerRequests_;
};

template <typename F>
void TfrmMain::Guarded(F&& action)
{
    try {
        action();
    } catch (const std::exception& error) {
        AppException(error);
    } catch (...) {
        AppException(std::runtime_error("Unknown exception"));
    }
}

}  // namespace manager
