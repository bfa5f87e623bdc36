#include "controls/status_log_view.h"

#include <QEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "controls/qt_text.h"
#include "controls/rich_text_document.h"

StatusLogView::StatusLogView(QTextEdit& edit, std::string path, QObject* parent)
    : QObject(parent), edit_(edit), log_(std::move(path))
{
    flush_.setSingleShot(true);
    flush_.setInterval(100);
    connect(&flush_, &QTimer::timeout, this, [this] { Flush(); });
    // A read-only log: an undo history would only hold every line twice.
    edit_.document()->setUndoRedoEnabled(false);
    edit_.installEventFilter(this);
}

void StatusLogView::Load()
{
    log_.Open();
    log_.TakeAddedCount();
    showAll();
}

void StatusLogView::AddLine(const std::string& line)
{
    log_.Add(line);
    if (edit_.isVisible() && !flush_.isActive())
        flush_.start();
}

void StatusLogView::Save() { log_.Save(); }

void StatusLogView::Close() { log_.Close(); }

void StatusLogView::Flush()
{
    flush_.stop();
    const std::size_t added = log_.TakeAddedCount();
    if (added == 0)
        return;
    // Past half the view, building it again is cheaper than inserting.
    if (added > log_.NewestLimit() / 2 || edit_.document()->isEmpty())
        showAll();
    else
        insertOnTop(added);
}

void StatusLogView::showAll()
{
    platform::RichText text;
    text.paragraphs.assign(log_.Newest().begin(), log_.Newest().end());
    SetDocumentRichText(*edit_.document(), text);
}

void StatusLogView::insertOnTop(std::size_t count)
{
    QTextDocument* document = edit_.document();
    QTextCursor cursor(document);
    // One edit block: the document is laid out once, when it ends.
    cursor.beginEditBlock();
    for (std::size_t i = count; i > 0; --i) {
        cursor.movePosition(QTextCursor::Start);
        cursor.insertText(BytesToQString(log_.Newest()[i - 1].PlainText()), QTextCharFormat());
        cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    }
    trim();
    cursor.endEditBlock();
}

void StatusLogView::trim()
{
    QTextDocument* document = edit_.document();
    const int limit = static_cast<int>(log_.NewestLimit());
    if (document->blockCount() <= limit)
        return;
    QTextCursor cursor(document);
    cursor.setPosition(document->findBlockByNumber(limit).position() - 1);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

bool StatusLogView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &edit_ && event->type() == QEvent::Show)
        Flush();
    return QObject::eventFilter(watched, event);
}
