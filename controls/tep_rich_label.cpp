#include "controls/tep_rich_label.h"

#include <QResizeEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>

#include <climits>
#include <cmath>

#include "controls/flag_guard.h"
#include "controls/rich_text_document.h"
#include "platform/rtf_reader.h"
#include "platform/rtf_writer.h"

TEPRichLabel::TEPRichLabel(QWidget* parent) : TEPCustomRichEdit(parent)
{
    setFrameShape(QFrame::NoFrame);
    setReadOnly(true);
    setFocusPolicy(Qt::NoFocus);
    setTextInteractionFlags(Qt::NoTextInteraction);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setLineWrapMode(QTextEdit::WidgetWidth);
    applyColor();
    connect(document(), &QTextDocument::contentsChanged, this, &TEPRichLabel::AdjustHeight);
}

void TEPRichLabel::setAutoSize(bool on)
{
    if (on == autoSize_)
        return;
    autoSize_ = on;
    AdjustHeight();
}

QString TEPRichLabel::RichText() const
{
    try {
        return QString::fromStdString(platform::WriteRtf(DocumentRichText(*document())));
    } catch (const std::exception&) {
        return {};
    }
}

void TEPRichLabel::setRichText(const QString& rtf)
{
    const bool modified = document()->isModified();
    {
        // One fitting for the whole text, outside the reading's guard.
        FlagGuard quiet(adjusting_);
        try {
            SetDocumentRichText(*document(), platform::ReadRtf(rtf.toStdString()));
        } catch (const std::exception&) {
            clear();
        }
    }
    document()->setModified(modified);
    AdjustHeight();
}

void TEPRichLabel::setWordWrap(bool on)
{
    setLineWrapMode(on ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    AdjustHeight();
}

void TEPRichLabel::setColor(const QColor& color)
{
    color_ = color;
    parentColor_ = false;
    applyColor();
}

void TEPRichLabel::setParentColor(bool on)
{
    parentColor_ = on;
    applyColor();
}

void TEPRichLabel::applyColor()
{
    // Following the parent: the parent shows through.
    viewport()->setAutoFillBackground(!parentColor_);
    setAutoFillBackground(false);
    if (!parentColor_) {
        QPalette pal = viewport()->palette();
        pal.setColor(QPalette::Base, color_);
        viewport()->setPalette(pal);
    }
}

int TEPRichLabel::FontPixelHeightAt(int position) const
{
    const QTextBlock block = document()->findBlock(position);
    QTextCharFormat format = block.charFormat();
    for (auto it = block.begin(); !it.atEnd(); ++it)
        if (it.fragment().contains(position))
            format = it.fragment().charFormat();
    const QFont font = format.font().resolve(document()->defaultFont());
    if (font.pixelSize() > 0)
        return font.pixelSize();
    return static_cast<int>(std::lround(font.pointSizeF() * logicalDpiY() / 72.0));
}

void TEPRichLabel::AdjustHeight()
{
    if (!autoSize_ || adjusting_ || TextLength() <= 0)
        return;
    // A guard of its own: an exception half-way leaves AutoSize as it was.
    FlagGuard guard(adjusting_);
    const std::vector<LineExtent> lines = LayoutLines(contentsRect().width());
    if (lines.empty())
        return;  // no width to lay the text out in
    const int length = TextLength();
    int height = 0, fitted = 0;
    while (fitted < length) {
        const int step = FontPixelHeightAt(fitted);
        if (step <= 0 || height > INT_MAX - step)
            return;  // no step that ends: the height stays
        height += step;
        fitted = FitCount(lines, height);
    }
    const int frame = this->height() - contentsRect().height();
    resize(width(), height + frame);
    updateGeometry();
}

void TEPRichLabel::resizeEvent(QResizeEvent* event)
{
    TEPCustomRichEdit::resizeEvent(event);
    if (!adjusting_ && event->size().width() != event->oldSize().width())
        AdjustHeight();
}

QSize TEPRichLabel::sizeHint() const { return QSize(TEPCustomRichEdit::sizeHint().width(), height()); }

QSize TEPRichLabel::minimumSizeHint() const
{
    const QSize least = TEPCustomRichEdit::minimumSizeHint();
    return autoSize_ ? QSize(least.width(), height()) : least;
}
