#include "manager/dialogs/message_window_parts.h"

#include <QApplication>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QListWidget>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextEdit>

#include "controls/qt_text.h"
#include "controls/two_way_splitter.h"
#include "mail/message.h"
#include "manager/seam/dialog_seam.h"

namespace manager {

AttachmentPane::AttachmentPane(TTwoWaySplitter* split, QListWidget* list) : split_(split), list_(list) { open(false); }

void AttachmentPane::open(bool on)
{
    split_->setBarPosition(on ? 70 : 100);
    list_->setVisible(on);
}

void AttachmentPane::Clear()
{
    list_->clear();
    paths_.clear();
    open(false);
}

void AttachmentPane::ShowAttachments(const TmsCustomMessage& message)
{
    const int count = message.Attachments().Count();
    open(count > 0);
    for (int i = 0; i < count; ++i) {
        const std::string name = message.Attachments().Items(i).FileName();
        const std::string path = folder_.Save(message, i);
        Add({name, path}, BytesToQString(name), true);
    }
}

void AttachmentPane::Add(const ComposerAttachment& entry, const QString& caption, bool withIcon)
{
    open(true);
    paths_.push_back(entry);
    auto* item = new QListWidgetItem(caption);
    item->setData(Qt::UserRole, static_cast<int>(paths_.size() - 1));
    if (withIcon) {
        const QIcon icon = QFileIconProvider().icon(QFileInfo(BytesToQString(entry.path)));
        if (!icon.isNull())
            item->setIcon(icon);
    }
    list_->addItem(item);
}

void AttachmentPane::RemoveSelected()
{
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    if (selected.isEmpty())
        return;
    for (QListWidgetItem* item : selected)
        delete item;
    list_->update();
    if (list_->count() == 0)
        open(false);
}

bool AttachmentPane::HasSelection() const { return !list_->selectedItems().isEmpty(); }

std::vector<ComposerAttachment> AttachmentPane::Listed() const
{
    std::vector<ComposerAttachment> listed;
    for (int i = 0; i < list_->count(); ++i)
        listed.push_back(paths_.at(static_cast<std::size_t>(list_->item(i)->data(Qt::UserRole).toInt())));
    return listed;
}

QStringList RunFileDialog(QWidget* parent, const FileDialogSpec& spec)
{
    QFileDialog chooser(parent, spec.caption, spec.folder, spec.filter);
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    chooser.setOption(QFileDialog::DontConfirmOverwrite);
    chooser.setAcceptMode(spec.mode);
    chooser.setFileMode(spec.fileMode);
    chooser.setDefaultSuffix(spec.defaultSuffix);
    if (DialogSeam::ExecModal(chooser) != QDialog::Accepted)
        return {};
    return chooser.selectedFiles();
}

QString ChooseSaveAsMailFile(QWidget* parent, const std::string& folder)
{
    const QStringList chosen =
        RunFileDialog(parent, {QString(), BytesToQString(folder), QStringLiteral("E-Mail Files (*.eml)"),
                               QStringLiteral("eml"), QFileDialog::AcceptSave, QFileDialog::AnyFile});
    if (chosen.isEmpty())
        return {};
    const QString path = chosen.front();
    if (QFileInfo::exists(path) &&
        DialogSeam::Question(parent, QStringLiteral("OK to overwrite %1").arg(path),
                             QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel) != QMessageBox::Yes)
        return {};
    return path;
}

void PrintBody(QWidget* parent, QTextEdit* body, const QString& title)
{
    QPrinter printer;
    QPrintDialog dialog(&printer, parent);
    if (DialogSeam::ExecModal(dialog) != QDialog::Accepted)
        return;
    printer.setDocName(title);
    body->document()->print(&printer);
}

QPixmap MailPicture(int size)
{
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF envelope(1.5, size * 0.22, size - 3.0, size * 0.56);
    painter.setPen(QPen(QColor(60, 60, 90), 1.5));
    painter.setBrush(QColor(250, 246, 225));
    painter.drawRect(envelope);
    painter.drawLine(envelope.topLeft(), QPointF(envelope.center().x(), envelope.center().y() + size * 0.06));
    painter.drawLine(envelope.topRight(), QPointF(envelope.center().x(), envelope.center().y() + size * 0.06));
    painter.setBrush(QColor(200, 40, 40));
    painter.setPen(Qt::NoPen);
    painter.drawRect(QRectF(envelope.right() - size * 0.22, envelope.top() + 3, size * 0.16, size * 0.14));
    return picture;
}

QString FileNamePartOf(const QString& name)
{
    const qsizetype cut = std::max({name.lastIndexOf(QLatin1Char('/')), name.lastIndexOf(QLatin1Char('\\')),
                                    name.lastIndexOf(QLatin1Char(':'))});
    return name.mid(cut + 1);
}

QString FileCaption(const QString& name)
{
    return FileNamePartOf(name) + QStringLiteral(" - ") + QApplication::applicationDisplayName();
}

std::vector<std::string> BodyLines(const QTextEdit* body)
{
    std::vector<std::string> lines;
    const QString text = body->toPlainText();
    if (text.isEmpty())
        return lines;
    for (const QString& line : text.split(QLatin1Char('\n')))
        lines.push_back(QStringToBytes(line));
    return lines;
}

void SetBodyLines(QTextEdit* body, const std::vector<std::string>& lines)
{
    QStringList text;
    for (const std::string& line : lines)
        text << BytesToQString(line);
    body->setPlainText(text.join(QLatin1Char('\n')));
}

}  // namespace manager
