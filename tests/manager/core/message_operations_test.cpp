// The message operations without a window, against a real data folder and
// real SMTP and POP3 servers: send selected with its move to the sent
// table and folder, a refused server, a move onto an existing name,
// delete with missing and hostile file names, re-send and the server
// preview.
#include "core_fixture.h"

#include <filesystem>

#include "mail/message.h"
#include "mail/net/pop3_client.h"
#include "mail/net/smtp_client.h"
#include "manager/core/manager_error.h"
#include "manager/core/manager_tables.h"
#include "manager/core/message_files.h"
#include "manager/core/message_operations.h"
#include "store/folder_tree.h"
#include "tables/table.h"
#include "tests/support/dovecot_server.h"
#include "tests/support/scripted_server.h"
#include "tests/support/smtp_server.h"

namespace managertest {
namespace {

using manager::MessageBox;
using manager::MessageOperations;

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class MessageOperationsTest : public ManagerCoreTest {
protected:
    manager::ManagerTables tables;
    std::string messages;
    std::vector<std::string> log;
    int ids = 0;

    void SetUp() override
    {
        ManagerCoreTest::SetUp();
        store::CreateDataFolder(homeDir(), false);
        messages = homeDir() + "messages/";
        tables.SetDatabaseFolder(homeDir());
        tables.OpenInStartupOrder();
    }
    void TearDown() override { tables.CloseAtExit(); }

    MessageOperations operations()
    {
        return MessageOperations(
            tables, messages, [this](const std::string& line) { log.push_back(line); },
            [this] { return "sent" + std::to_string(++ids); });
    }

    void addAccount(const std::string& id, const std::string& smtp, const std::string& pop = "",
                    const std::string& node = "Sales")
    {
        TTable& nodes = tables.Table("TableNodes2");
        nodes.Append();
        nodes.FieldByName("UNIQUE_ID").SetAsString(id);
        nodes.FieldByName("NODE").SetAsString(node);
        nodes.FieldByName("ADDRESS").SetAsString("sales@example.org");
        nodes.FieldByName("SMTPADDRES").SetAsString(smtp);
        nodes.FieldByName("POPADDRESS").SetAsString(pop);
        nodes.FieldByName("LOGIN").SetAsString("tester");
        nodes.FieldByName("PASSWORD").SetAsString("secret");
        nodes.Post();
    }

    std::string folder(const std::string& account, const char* name) const
    {
        return messages + account + "/" + name + "/";
    }

    // An outgoing row of the current account with its mail file.
    void addOutgoing(MessageBox box, const std::string& id, const std::string& fileName,
                     const std::string& text = "From: Sales <sales@example.org>\r\nTo: Ann <ann@example.org>\r\n"
                                               "CC: bob@example.org\r\nSubject: Offer\r\n\r\nThe offer.\r\n")
    {
        TTable& rows = tables.Table(manager::TableNameOf(box));
        rows.Append();
        rows.FieldByName("UNIQUE_ID").SetAsString(id);
        rows.FieldByName("LINK_ID").SetAsString(tables.Table("TableNodes2").FieldByName("UNIQUE_ID").AsString());
        rows.FieldByName("SUBJECT").SetAsString("Offer");
        rows.FieldByName("DATE").SetAsDateTime(45000);
        rows.FieldByName("TONAME").SetAsString("Ann");
        rows.FieldByName("TOADDRESS").SetAsString("ann@example.org");
        rows.FieldByName("FILENAME").SetAsString(fileName);
        rows.Post();
        if (manager::IsPlainFileName(fileName)) {
            const std::string account = rows.FieldByName("LINK_ID").AsString();
            std::filesystem::create_directories(folder(account, manager::FolderNameOf(box)));
            test_support::writeFile(folder(account, manager::FolderNameOf(box)) + fileName, text);
        }
    }

    int rows(MessageBox box) { return tables.Table(manager::TableNameOf(box)).RecordCount(); }
    std::string field(MessageBox box, const char* name)
    {
        return tables.Table(manager::TableNameOf(box)).FieldByName(name).AsString();
    }
};

TEST_F(MessageOperationsTest, SendSelectedSendsTheFileAndMovesItWithItsRow)
{
    test_support::SmtpServer smtp;
    addAccount("acc1", smtp.address());
    addOutgoing(MessageBox::Outbox, "out1", "offer.eml");
    TmsSMTP client;
    client.SetWinsockLoaded(true);
    TmsMessage message;
    operations().SendSelected(client, message);

    ASSERT_TRUE(smtp.waitForMessages(1));
    const auto sent = smtp.messages().at(0);
    EXPECT_EQ(sent.mailFrom, "sales@example.org");
    EXPECT_EQ(sent.recipients, (std::vector<std::string>{"ann@example.org", "bob@example.org"}));
    EXPECT_TRUE(has(sent.data, "The offer."));
    EXPECT_FALSE(client.Connected());

    EXPECT_EQ(rows(MessageBox::Outbox), 0);
    ASSERT_EQ(rows(MessageBox::Sent), 1);
    EXPECT_EQ(field(MessageBox::Sent, "UNIQUE_ID"), "sent1");
    EXPECT_EQ(field(MessageBox::Sent, "LINK_ID"), "acc1");
    EXPECT_EQ(field(MessageBox::Sent, "SUBJECT"), "Offer");
    EXPECT_EQ(field(MessageBox::Sent, "TONAME"), "Ann");
    EXPECT_EQ(field(MessageBox::Sent, "TOADDRESS"), "ann@example.org");
    EXPECT_EQ(field(MessageBox::Sent, "FILENAME"), "offer.eml");
    EXPECT_EQ(tables.Table("TableSent").FieldByName("DATE").AsDateTime(), 45000);
    EXPECT_FALSE(std::filesystem::exists(folder("acc1", "Out") + "offer.eml"));
    EXPECT_TRUE(std::filesystem::exists(folder("acc1", "Sent") + "offer.eml"));
    EXPECT_EQ(log, std::vector<std::string>{"Successfully moved " + folder("acc1", "Out") + " to " +
                                            folder("acc1", "Sent") + "offer.eml in sent items folder"});
}

TEST_F(MessageOperationsTest, ARefusedServerMovesNothingAndDisconnects)
{
    test_support::ScriptedServer server;
    server.send("554 go away\r\n").reply("221 bye").waitForClientClose();
    server.start();
    addAccount("acc1", server.address());
    addOutgoing(MessageBox::Outbox, "out1", "offer.eml");
    TmsSMTP client;
    client.SetWinsockLoaded(true);
    TmsMessage message;
    EXPECT_ANY_THROW(operations().SendSelected(client, message));
    EXPECT_FALSE(client.Connected());
    EXPECT_TRUE(server.waitDone());
    EXPECT_EQ(server.lines(), std::vector<std::string>{"QUIT"});
    EXPECT_EQ(rows(MessageBox::Outbox), 1);
    EXPECT_EQ(rows(MessageBox::Sent), 0);
    EXPECT_TRUE(std::filesystem::exists(folder("acc1", "Out") + "offer.eml"));

    // No server at all fails at the connection the same way.
    tables.Table("TableNodes2").Edit();
    tables.Table("TableNodes2").FieldByName("SMTPADDRES").SetAsString("");
    tables.Table("TableNodes2").Post();
    EXPECT_ANY_THROW(operations().SendSelected(client, message));
    EXPECT_EQ(rows(MessageBox::Outbox), 1);
}

TEST_F(MessageOperationsTest, SendSelectedMovesThePinnedRowWhenTheSelectionChangesMeanwhile)
{
    test_support::SmtpServer smtp;
    addAccount("acc1", smtp.address());
    addOutgoing(MessageBox::Outbox, "out1", "first.eml");
    addAccount("acc2", smtp.address(), "", "Other");
    addOutgoing(MessageBox::Outbox, "out2", "second.eml");
    ASSERT_TRUE(tables.Table("TableNodes2").Locate("UNIQUE_ID", "acc1"));
    TmsSMTP client;
    client.SetWinsockLoaded(true);
    TmsMessage message;
    // The user selects another account while the socket waits.
    client.OnSending = [this](TagSocket&) { tables.Table("TableNodes2").Locate("UNIQUE_ID", "acc2"); };
    operations().SendSelected(client, message);
    EXPECT_TRUE(std::filesystem::exists(folder("acc1", "Sent") + "first.eml"));
    EXPECT_TRUE(std::filesystem::exists(folder("acc2", "Out") + "second.eml"));
    EXPECT_EQ(field(MessageBox::Sent, "FILENAME"), "first.eml");
    ASSERT_TRUE(tables.Table("TableNodes2").Locate("UNIQUE_ID", "acc2"));
    EXPECT_EQ(rows(MessageBox::Outbox), 1);
}

TEST_F(MessageOperationsTest, AMoveOntoAnExistingNameChangesNoRow)
{
    addAccount("acc1", "");
    addOutgoing(MessageBox::Outbox, "out1", "offer.eml");
    std::filesystem::create_directories(folder("acc1", "Sent"));
    test_support::writeFile(folder("acc1", "Sent") + "offer.eml", "the one sent before");
    EXPECT_FALSE(operations().MoveMessage());
    EXPECT_EQ(rows(MessageBox::Outbox), 1);
    EXPECT_EQ(rows(MessageBox::Sent), 0);
    EXPECT_EQ(test_support::readFile(folder("acc1", "Sent") + "offer.eml"), "the one sent before");
    EXPECT_TRUE(std::filesystem::exists(folder("acc1", "Out") + "offer.eml"));
    EXPECT_EQ(log, std::vector<std::string>{"Failed to move " + folder("acc1", "Out") + "offer.eml to " +
                                            folder("acc1", "Sent") + "offer.eml in sent items folder"});
}

TEST_F(MessageOperationsTest, DeleteRemovesFileAndRowOrLogsAndKeepsTheRow)
{
    addAccount("acc1", "");
    addOutgoing(MessageBox::Outbox, "out1", "offer.eml");
    std::filesystem::remove(folder("acc1", "Out") + "offer.eml");
    EXPECT_FALSE(operations().DeleteMessage(MessageBox::Outbox));
    EXPECT_EQ(log, std::vector<std::string>{"Unable to delete " + folder("acc1", "Out") + "offer.eml"});
    EXPECT_EQ(rows(MessageBox::Outbox), 1);

    addOutgoing(MessageBox::Sent, "s1", "done.eml");
    EXPECT_TRUE(operations().DeleteMessage(MessageBox::Sent));
    EXPECT_EQ(log.back(), "Successfully deleted " + folder("acc1", "Sent") + "done.eml");
    EXPECT_EQ(rows(MessageBox::Sent), 0);
    EXPECT_FALSE(std::filesystem::exists(folder("acc1", "Sent") + "done.eml"));
}

TEST_F(MessageOperationsTest, AFileNameFromATableNeverReachesOutsideItsFolder)
{
    addAccount("acc1", "");
    const std::string outside = homeDir() + "messages/acc1/precious.txt";
    std::filesystem::create_directories(folder("acc1", "Out"));
    test_support::writeFile(outside, "keep");
    for (const std::string& name : {std::string("../precious.txt"), std::string(""), std::string(".."),
                                    std::string("a/b.eml")}) {
        addOutgoing(MessageBox::Outbox, "bad", name);
        EXPECT_THROW(operations().DeleteMessage(MessageBox::Outbox), manager::ManagerError) << name;
        EXPECT_THROW(operations().MoveMessage(), manager::ManagerError) << name;
        tables.Table("TableOut").Delete();
    }
    EXPECT_EQ(test_support::readFile(outside), "keep");
    // A folder of the row's name is no message file.
    addOutgoing(MessageBox::Outbox, "dir", "folder.eml");
    std::filesystem::remove(folder("acc1", "Out") + "folder.eml");
    std::filesystem::create_directories(folder("acc1", "Out") + "folder.eml");
    EXPECT_FALSE(operations().DeleteMessage(MessageBox::Outbox));
    EXPECT_TRUE(std::filesystem::is_directory(folder("acc1", "Out") + "folder.eml"));
}

TEST_F(MessageOperationsTest, ReSendTakesTheBodyFromTheSentFile)
{
    addAccount("acc1", "", "", "Sales");
    addOutgoing(MessageBox::Sent, "s1", "done.eml");
    TmsSMTP client;
    client.SetWinsockLoaded(true);
    TmsMessage message;
    EXPECT_EQ(operations().ReSend(client, nullptr, message), "The Server Name is blank for node - Sales");

    test_support::SmtpServer smtp;
    tables.Table("TableNodes2").Edit();
    tables.Table("TableNodes2").FieldByName("SMTPADDRES").SetAsString(smtp.address());
    tables.Table("TableNodes2").Post();
    EXPECT_EQ(operations().ReSend(client, nullptr, message), "");
    ASSERT_TRUE(smtp.waitForMessages(1));
    const auto sent = smtp.messages().at(0);
    EXPECT_EQ(sent.recipients, std::vector<std::string>{"ann@example.org"});
    EXPECT_EQ(sent.mailFrom, "sales@example.org");
    EXPECT_TRUE(has(sent.data, "Subject:  Offer"));
    EXPECT_TRUE(has(sent.data, "The offer."));
    EXPECT_EQ(rows(MessageBox::Sent), 1);
}

TEST_F(MessageOperationsTest, ServerPreviewReadsWhatWaitsAndFallsBackToReturnPath)
{
    test_support::DovecotServer dovecot;
    // No POP server: the SMTP server's name is used.
    addAccount("acc1", dovecot.address(), "");
    TmsRemotePOP pop;
    pop.SetWinsockLoaded(true);
    EXPECT_TRUE(operations().ServerPreview(pop).empty());

    dovecot.addMessage("From: Ann <ann@example.org>\r\nSubject: One\r\nDate: Mon, 1 Jun 2026 10:00:00 +0000\r\n\r\nx\r\n");
    dovecot.addMessage("Return-Path: <bounce@example.org>\r\nSubject: Two\r\n\r\ny\r\n");
    std::vector<std::pair<int, int>> progress;
    const auto items = operations().ServerPreview(pop, [&](int n, int count) { progress.emplace_back(n, count); });
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].subject, "One");
    EXPECT_EQ(items[0].from, "Ann <ann@example.org>");
    EXPECT_EQ(items[0].date, "Mon, 1 Jun 2026 10:00:00 +0000");
    EXPECT_GT(items[0].size, 0);
    EXPECT_EQ(items[1].subject, "Two");
    EXPECT_EQ(items[1].from, "<bounce@example.org>");
    EXPECT_EQ(progress, (std::vector<std::pair<int, int>>{{0, 2}, {1, 2}}));
    EXPECT_EQ(dovecot.messageCount(), 2u);
}

}  // namespace
}  // namespace managertest
