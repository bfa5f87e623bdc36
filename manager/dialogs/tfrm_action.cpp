#include "manager/dialogs/tfrm_action.h"

#include <QStyle>
#include <QTreeWidget>

#include "controls/qt_text.h"
#include "manager/core/agent_captions.h"
#include "manager/seam/dialog_seam.h"
#include "platform/process.h"
#include "ui_tfrm_action.h"

namespace manager {

TfrmAction::TfrmAction(QWidget* parent, std::string templatesFolder, CreateTemplateCommand createTemplate)
    : QDialog(parent),
      ui_(new Ui::TfrmAction),
      templatesFolder_(std::move(templatesFolder)),
      createTemplate_(std::move(createTemplate))
{
    ui_->setupUi(this);
    setObjectName(QStringLiteral("frmAction"));
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    // Wide enough for the longest action beside a frame that holds a whole path.
    setFixedSize(640, 389);
    QTreeWidget* list = ui_->lstVActions;
    list->setColumnWidth(0, 210);
    for (const std::string& caption : ActionCaptions())
        new QTreeWidgetItem(list, QStringList{BytesToQString(caption)});

    // Until an action is chosen the launch frame shows, as it always has.
    showFrameOf("Launch Program");
    ui_->btnOK->setEnabled(false);
    connect(list, &QTreeWidget::itemSelectionChanged, this, [this] {
        showFrameOf(SelectedCaption());
        ui_->btnOK->setEnabled(!SelectedCaption().empty());
    });
    connect(ui_->btnOK, &QPushButton::clicked, this, &TfrmAction::OKClick);

    // The address buttons carry a picture and no action.
    for (QToolButton* button : {ui_->btnForwardAddress, ui_->btnRedirectAddress})
        button->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    ui_->edtLoopCount->setEnabled(false);
    connect(ui_->chkLoop, &QCheckBox::toggled, ui_->edtLoopCount, &QWidget::setEnabled);
    connect(ui_->btnReplyBrowse, &QPushButton::clicked, this, [this] {
        browse(ui_->edtReplywith, "E-Mail Messages (*.eml);;All Files (*)", "EML", BytesToQString(templatesFolder_));
    });
    connect(ui_->btnCommandBrowse, &QPushButton::clicked, this, [this] { browseProgram(); });
    connect(ui_->btnSoundBrowse, &QPushButton::clicked, this,
            [this] { browse(ui_->edtSound, "WAV Files (*.wav);;All Files (*)", "wav", {}); });
    connect(ui_->btnScriptBrowse, &QPushButton::clicked, this,
            [this] { browse(ui_->edtScript, "tarselBasic Scripts (*.bas);;All Files (*)", "bas", {}); });
    // The user asked for a new template for this reply: once saved, it is the
    // reply; a composer closed unsaved leaves the field as it was.
    connect(ui_->btnCreateNew, &QPushButton::clicked, this, [this] {
        if (!createTemplate_)
            return;
        const std::string saved = createTemplate_(this);
        if (!saved.empty())
            ui_->edtReplywith->setText(BytesToQString(saved));
    });
    list->setFocus();
}

TfrmAction::~TfrmAction() = default;

std::string TfrmAction::SelectedCaption() const
{
    const QList<QTreeWidgetItem*> selected = ui_->lstVActions->selectedItems();
    return selected.isEmpty() ? std::string() : QStringToBytes(selected.front()->text(0));
}

std::string TfrmAction::Parameter() const { return QStringToBytes(ui_->edtMaster->text()); }
std::string TfrmAction::Extra() const { return QStringToBytes(ui_->edtMasterParams->text()); }

void TfrmAction::SelectAction(const std::string& caption)
{
    const QList<QTreeWidgetItem*> found =
        ui_->lstVActions->findItems(BytesToQString(caption), Qt::MatchFixedString);
    if (found.isEmpty())
        return;
    ui_->lstVActions->setCurrentItem(found.front());
    found.front()->setSelected(true);
}

QGroupBox* TfrmAction::frameOf(const std::string& upperCaption) const
{
    if (upperCaption == "LAUNCH PROGRAM")
        return ui_->frameLaunch;
    if (upperCaption == "PLAY SOUND")
        return ui_->framePlaySound;
    if (upperCaption == "FORWARD TO")
        return ui_->frameForward;
    if (upperCaption == "AUTO-REPLY")
        return ui_->frameAutoReply;
    if (upperCaption == "REDIRECT TO")
        return ui_->frameRedirect;
    if (upperCaption == "RUN AN TARSELSCRIPT")
        return ui_->frameScript;
    if (upperCaption == "DELAY THE AGENT")
        return ui_->frameDelay;
    return nullptr;
}

QLineEdit* TfrmAction::fieldOf(const std::string& upperCaption) const
{
    if (upperCaption == "LAUNCH PROGRAM")
        return ui_->edtCommand;
    if (upperCaption == "PLAY SOUND")
        return ui_->edtSound;
    if (upperCaption == "FORWARD TO")
        return ui_->edtForwardAddress;
    if (upperCaption == "AUTO-REPLY")
        return ui_->edtReplywith;
    if (upperCaption == "REDIRECT TO")
        return ui_->edtRedirectto;
    if (upperCaption == "RUN AN TARSELSCRIPT")
        return ui_->edtScript;
    return nullptr;
}

void TfrmAction::showFrameOf(const std::string& caption)
{
    for (QGroupBox* frame : {ui_->frameLaunch, ui_->framePlaySound, ui_->frameForward, ui_->frameAutoReply,
                             ui_->frameRedirect, ui_->frameScript, ui_->frameDelay})
        frame->hide();
    if (QGroupBox* frame = frameOf(UpperText(caption)))
        frame->show();
}

void TfrmAction::OKClick()
{
    const std::string name = UpperText(SelectedCaption());
    if (name.empty())
        return;
    QString parameter;
    if (name == "DELAY THE AGENT") {
        parameter = QString::number(ui_->edtSecs->value());
    } else if (QLineEdit* field = fieldOf(name)) {
        parameter = field->text();
    }
    ui_->edtMaster->setText(parameter);
    accept();
}

void TfrmAction::browse(QLineEdit* field, const char* filter, const char* suffix, const QString& folder)
{
    FileRequest request;
    request.caption = QStringLiteral("Open");
    request.filter = QString::fromLatin1(filter);
    request.defaultSuffix = QString::fromLatin1(suffix);
    const QString chosen = DialogSeam::ChooseFileIn(this, request, folder);
    if (!chosen.isEmpty())
        field->setText(chosen);
}

void TfrmAction::browseProgram()
{
    // Programs here carry no extension: the chooser tells them by their
    // executable bit, and no suffix is added to a typed name.
    FileRequest request;
    request.caption = QStringLiteral("Open");
    request.filter = QStringLiteral("Application files (*);;All Files (*)");
    request.programsFirst = true;
    const QString chosen = DialogSeam::ChooseFile(this, request);
    // The field is a command line: a path with blanks or quotes is quoted
    // so that the processor starts this program and not part of its path.
    if (!chosen.isEmpty())
        ui_->edtCommand->setText(BytesToQString(platform::QuoteCommandWord(QStringToBytes(chosen))));
}

}  // namespace manager
