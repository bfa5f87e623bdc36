// The composer's merge preview, run from its window in a running post32:
// every step of the expansion is a line of the status log.
#include "message_window_fixture.h"

#include <QDesktopServices>
#include <QUrl>

#include "manager/core/merge_preview.h"
#include "manager/dialogs/tfrm_message.h"
#include "manager/dialogs/tfrm_message_pre.h"
#include "manager/dialogs/tfrm_status.h"
#include "manager/main/program_block.h"
#include "manager/main/tfrm_main.h"
#include "ui_tfrm_message.h"

namespace managertest {
namespace {

// Stands in for the desktop's mail program: records what it was asked to open.
class OpenedFiles : public QObject {
    Q_OBJECT

public:
    OpenedFiles() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~OpenedFiles() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QStringList opened;

public slots:
    void open(const QUrl& url) { opened << url.toLocalFile(); }
};

class MergePreviewLog : public MessageWindowTest {};

bool endsWith(const std::string& line, const std::string& end)
{
    return line.size() >= end.size() && line.compare(line.size() - end.size(), end.size(), end) == 0;
}

TEST_F(MergePreviewLog, EveryStepOfThePreviewIsAStatusLogLine)
{
    manager::Post32Program program;
    OpenedFiles desktop;
    onOtherDialog = [](QDialog& dialog) {
        return qobject_cast<manager::TfrmMessagePre*>(&dialog) ? int(QDialog::Accepted) : int(QDialog::Rejected);
    };
    auto* composer = new manager::TfrmMessage;
    composer->ui()->lblFromAddress->setText(QStringLiteral("desk@example.org"));
    composer->ui()->edtSubject->setText(QStringLiteral("Thanks"));
    composer->ui()->REBody->setPlainText(QStringLiteral("Dear <<REPLYHEADER~FROMNAME>>,\nsee you."));
    composer->show();
    composer->MergePreview1Click();

    ASSERT_EQ(desktop.opened.size(), 1);
    EXPECT_EQ(desktop.opened[0].toStdString(), manager::MergePreviewFile());
    std::vector<std::string> lines = program.frmStatus().LogLines();
    ASSERT_GE(lines.size(), 4u);
    // Newest on top.
    EXPECT_TRUE(endsWith(lines[0], " -- the newline reads  Dear <no value provided>,")) << lines[0];
    EXPECT_TRUE(endsWith(lines[1], " -- the result of the SYSTEM merge code was  ")) << lines[1];
    EXPECT_TRUE(endsWith(lines[2], " -- Merge Template the command is: REPLYHEADER the param is: FROMNAME")) << lines[2];
    EXPECT_TRUE(endsWith(lines[3], " -- REPLYHEADER~FROMNAME")) << lines[3];
    EXPECT_EQ(program.frmMain().StatusText(), "the newline reads  Dear <no value provided>,");
    EXPECT_TRUE(boxes.empty());
    composer->close();
}

}  // namespace
}  // namespace managertest

#include "merge_preview_log_test.moc"
