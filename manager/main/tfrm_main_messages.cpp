// The main window's operations on single messages of the selected account:
// open in the composer or viewer, delete, send, re-send, properties, the
// server preview and the received list's sorting. What they write lives in
// manager/core/message_operations; the windows opened get copies of the
// message, so nothing done here later changes what they show or save.

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTreeWidget>

#include "controls/qt_text.h"
#include "manager/core/message_files.h"
#include "manager/core/message_operations.h"
#include "manager/dialogs/tfrm_custom_send.h"
#include "manager/dialogs/tfrm_in_message.h"
#include "manager/dialogs/tfrm_message.h"
#include "manager/dialogs/tfrm_msg_properties.h"
#include "manager/dialogs/tfrm_rem.h"
#include "manager/main/tfrm_main.h"
#include "manager/seam/dialog_seam.h"
#include "platform/datetime.h"
#include "store/record_ids.h"
#include "store/table_objects.h"
#include "tables/apollo.h"
#include "tables/data_source.h"
#include "tables/table.h"
#include "ui_tfrm_in_message.h"
#include "ui_tfrm_main.h"
#include "ui_tfrm_message.h"
#include "ui_tfrm_msg_properties.h"
#include "ui_tfrm_rem.h"

namespace manager {

namespace {

const char* const kSent = "The message has been sent.";

MessageBox boxOf(int box) { return static_cast<MessageBox>(box); }

void setAccountLabels(QLabel* id, QLabel* name, QLabel* address, const MessageAccount& account)
{
    id->setText(BytesToQString(account.id));
    name->setText(BytesToQString(account.node));
    address->setText(BytesToQString(account.address));
}

}  // namespace

void TfrmMain::wireMessages()
{
    msMessage1_.SetContentType("text/plain");
    msMessage1_.SetReturnReceipt(false);
    msSMTP1_.SetDefaultPort(25);
    msSMTP1_.SetTimeOut(120);
    msSMTP1_.SetRAS(&agRas1_);
    msSMTP1_.SetMailMessage(&msMessage1_);
    msRemotePOP1_.SetDefaultPort(110);
    msRemotePOP1_.SetRAS(&agRas1_);
    // The socket library, loaded once the window's clients exist.
    msRemotePOP1_.SetWinsockLoaded(true);
    store::TableSet& set = tables_.Tables();
    set.DataSource("DataSourceSent").OnDataChange = [this](TField*) { DataSourceSentDataChange(); };
    set.DataSource("DataSourcePending").OnDataChange = [this](TField*) { DataSourceReceivedDataChange(); };
    set.Table("TablePending").AfterInsert = [](TTable& pending) { TablePendingAfterInsert(pending); };
}

void TfrmMain::unwireMessages()
{
    store::TableSet& set = tables_.Tables();
    set.DataSource("DataSourceSent").OnDataChange = nullptr;
    set.DataSource("DataSourcePending").OnDataChange = nullptr;
    set.Table("TablePending").AfterInsert = nullptr;
}

void TfrmMain::TablePendingAfterInsert(TTable& pending)
{
    pending.FieldByName("CREATEON").SetAsDateTime(platform::Date());
}

void TfrmMain::lstVMessagesEdited(const char* tableName, const std::string& caption)
{
    Guarded([&] {
        TTable& rows = tables_.Require(tableName);
        rows.Edit();
        rows.FieldByName("SUBJECT").SetAsString(caption);
        rows.Post();
    });
}

void TfrmMain::btnToolOpenClick()
{
    showMessage(std::to_string(tables_.Apollo("TableActions").Count()));
}

void TfrmMain::SetMessageWindows(TfrmRem* rem, TfrmCustomSend* customSend)
{
    frmRem_ = rem;
    frmCustomSend_ = customSend;
}

MessageOperations TfrmMain::Messages()
{
    return MessageOperations(
        tables_, folders_.messages, [this](const std::string& line) { SendtoLog(line); },
        [] { return store::RecordIds().AccountId(); });
}

void TfrmMain::NewMessage1Click()
{
    Guarded([this] {
        const MessageAccount account = ReadMessageAccount(tables_.Require("TableNodes2"));
        auto* composer = new TfrmMessage(nullptr);
        setAccountLabels(composer->ui()->lblFrom, composer->ui()->lblFromName, composer->ui()->lblFromAddress,
                         account);
        composer->SetTemplatesFolder(folders_.templates);
        composer->show();
        composer->lblSubjectClick();
    });
}

void TfrmMain::openOutgoing(int box)
{
    Guarded([this, box] {
        MessageOperations operations = Messages();
        // The full path: Save writes back where the file lies.
        const std::string path = operations.CurrentFile(boxOf(box));
        msMessage1_.Clear();
        msMessage1_.LoadFromFile(path);
        const MessageAccount account = ReadMessageAccount(tables_.Require("TableNodes2"));
        auto* composer = new TfrmMessage(nullptr);
        setAccountLabels(composer->ui()->lblFrom, composer->ui()->lblFromName, composer->ui()->lblFromAddress,
                         account);
        composer->msMessage1().Assign(msMessage1_);
        composer->Tag = 10;
        composer->EditsMailToSend = true;
        composer->ui()->lblRecNo->setText(QString::number(tables_.Apollo(TableNameOf(boxOf(box))).RecNo()));
        composer->ui()->lblFilename->setText(BytesToQString(path));
        composer->SetTemplatesFolder(folders_.templates);
        composer->show();
    });
}

void TfrmMain::Open2Click() { openOutgoing(static_cast<int>(MessageBox::Outbox)); }
void TfrmMain::MenuItem7Click() { openOutgoing(static_cast<int>(MessageBox::Sent)); }

void TfrmMain::MenuItem2Click()
{
    Guarded([this] {
        MessageOperations operations = Messages();
        const std::string path = operations.CurrentFile(MessageBox::Received);
        msMessage1_.Clear();
        msMessage1_.LoadFromFile(path);
        TTable& received = tables_.Require("TableReceived");
        const MessageAccount account = ReadMessageAccount(tables_.Require("TableNodes2"));
        auto* viewer = new TfrmInMessage(nullptr);
        viewer->msMessage1().Assign(msMessage1_);
        viewer->Tag = 10;
        viewer->ui()->lblFrom->setText(BytesToQString(received.FieldByName("LINK_ID").AsString()));
        viewer->ui()->lblFromName->setText(BytesToQString(account.node));
        viewer->ui()->lblFromAddress->setText(BytesToQString(account.address));
        viewer->SetFileName(path);
        viewer->ui()->lblRecNo->setText(QString::number(tables_.Apollo("TableReceived").RecNo()));
        viewer->ui()->lblFilename->setText(BytesToQString(received.FieldByName("FILENAME").AsString()));
        viewer->SetTemplatesFolder(folders_.templates);
        viewer->SetCustomSend(frmCustomSend_);
        viewer->show();
    });
}

void TfrmMain::deleteMessage(int box)
{
    if (DialogSeam::Question(this, QStringLiteral("Are you sure you want to delete this item?"),
                             QMessageBox::Yes | QMessageBox::No,
                             QStringLiteral(" Delete Confirmation")) != QMessageBox::Yes)
        return;
    Guarded([this, box] { Messages().DeleteMessage(boxOf(box)); });
}

void TfrmMain::DeleteMessage1Click() { deleteMessage(static_cast<int>(MessageBox::Outbox)); }
void TfrmMain::MenuItem8Click() { deleteMessage(static_cast<int>(MessageBox::Sent)); }
void TfrmMain::MenuItem3Click() { deleteMessage(static_cast<int>(MessageBox::Received)); }

void TfrmMain::SendNow1Click()
{
    Guarded([this] {
        Messages().SendSelected(msSMTP1_, msMessage1_);
        statusPanel0_->setText(QString::fromLatin1(kSent));
    });
}

void TfrmMain::MoveMessage()
{
    Guarded([this] { Messages().MoveMessage(); });
}

void TfrmMain::MenuItem10Click()
{
    Guarded([this] {
        MessageOperations operations = Messages();
        const MessageAccount account = ReadMessageAccount(tables_.Require("TableNodes2"));
        if (account.smtp.empty()) {
            showMessage(MessageOperations::kBlankServer + account.node);
            return;
        }
        statusPanel0_->setText(QStringLiteral("Re-sending message."));
        operations.ReSend(msSMTP1_, &agRas1_, msMessage1_);
        statusPanel0_->setText(QString::fromLatin1(kSent));
    });
}

void TfrmMain::SendMessage(const std::string& toAddress, const std::string& toName, const std::string& fromName,
                           const std::string& fromAddress, const std::string& subject, const std::string& body,
                           const std::vector<std::string>& attachmentPaths)
{
    BuildOutgoingMessage(msMessage1_, toAddress, toName, fromName, fromAddress, subject, mail::splitLines(body),
                         attachmentPaths);
    agRas1_.Connect();
    msSMTP1_.SetMailMessage(&msMessage1_);
    msSMTP1_.SendMail();
}

void TfrmMain::MenuItem6Click()
{
    Guarded([this] {
        // The row's own file, not whatever the window's message holds now.
        const std::string path = Messages().CurrentFile(MessageBox::Received);
        TmsMessage message;
        message.LoadFromFile(path);
        TfrmMsgProperties properties(this);
        properties.ui()->lblSubject->setText(BytesToQString(message.Subject()));
        properties.ui()->lblFromText->setText(BytesToQString(message.Sender().Address()));
        properties.ui()->edtFilename->setText(BytesToQString(path));
        properties.ui()->lblAttachments->setText(QString::number(message.Attachments().Count()));
        QStringList headers;
        for (const std::string& line : message.Headers().lines())
            headers << BytesToQString(line);
        properties.ui()->memHeaders->setPlainText(headers.join(QLatin1Char('\n')));
        DialogSeam::ExecModal(properties);
    });
}

void TfrmMain::Checkwhatsontheserver1Click()
{
    if (!frmRem_)
        return;
    QTreeWidget* list = frmRem_->ui()->lstMessages;
    list->clear();
    std::vector<ServerPreviewItem> items;
    Guarded([&] {
        items = Messages().ServerPreview(msRemotePOP1_, [this](int number, int count) {
            const TmsRemoteInfo& info = msRemotePOP1_.RemoteInfo();
            const std::string subject =
                number < info.Count() ? info.Items(number).Headers().GetFieldValue("Subject") : std::string();
            SendtoLog("Downloading Header " + std::to_string(number + 1) + " of " + std::to_string(count) + " -- " +
                      subject);
            if (frmStatus_)
                if (auto* action = frmStatus_->findChild<QLabel*>(QStringLiteral("lblCurrentAction")))
                    action->setText(QStringLiteral("Downloading Headers %1 of %2").arg(number + 1).arg(count));
            QApplication::processEvents();
        });
        if (items.empty()) {
            DialogSeam::Information(this, QStringLiteral("There are no messages waiting."));
            return;
        }
        frmRem_->show();
        for (const ServerPreviewItem& item : items) {
            auto* row = new QTreeWidgetItem(list);
            row->setText(0, BytesToQString(item.subject));
            row->setText(1, QString::number(item.size));
            row->setText(2, BytesToQString(item.date));
            row->setText(3, BytesToQString(item.from));
        }
    });
}

int TfrmMain::lstVReceivedCompare(QTreeWidgetItem* item1, QTreeWidgetItem* item2) const
{
    const int column = std::clamp(sortColumn_, 0, 3);
    const int result = QString::localeAwareCompare(item1->text(column), item2->text(column));
    return sortAscending_ ? result : -result;
}

void TfrmMain::lstVReceivedColumnClick(QTreeWidget* list, int column)
{
    sortColumn_ = column;
    std::vector<QTreeWidgetItem*> items;
    while (list->topLevelItemCount() > 0)
        items.push_back(list->takeTopLevelItem(0));
    std::stable_sort(items.begin(), items.end(),
                     [this](QTreeWidgetItem* a, QTreeWidgetItem* b) { return lstVReceivedCompare(a, b) < 0; });
    for (QTreeWidgetItem* item : items)
        list->addTopLevelItem(item);
    sortAscending_ = !sortAscending_;
}

}  // namespace manager
