#include "controls/tep_custom_rich_edit.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <memory>

#include "controls/mul_div.h"

TEPCustomRichEdit::TEPCustomRichEdit(QWidget* parent) : QTextEdit(parent)
{
    document()->setDocumentMargin(0);
}

int TEPCustomRichEdit::TextLength() const { return document()->characterCount() - 1; }

namespace {

// The margins in pixels: left + right, top + bottom.
QSize marginPixels(const TEPRichEditMargins& margins, int dpiX, int dpiY)
{
    TEPRichEditMargins twips = margins;
    twips.setMeasurementUnits(TEPRichEditMargins::epmuTwips);
    return QSize(MulDiv(twips.Left(), dpiX, 1440) + MulDiv(twips.Right(), dpiX, 1440),
                 MulDiv(twips.Top(), dpiY, 1440) + MulDiv(twips.Bottom(), dpiY, 1440));
}

}  // namespace

std::vector<TEPCustomRichEdit::LineExtent> TEPCustomRichEdit::LayoutLines(int pageWidth) const
{
    std::vector<LineExtent> lines;
    const int width = pageWidth - marginPixels(margins_, logicalDpiX(), logicalDpiY()).width();
    if (width <= 0)
        return lines;
    // A copy, so that measuring leaves the shown layout alone.
    std::unique_ptr<QTextDocument> doc(document()->clone());
    doc->setDocumentMargin(0);
    doc->setTextWidth(width);
    QAbstractTextDocumentLayout* layout = doc->documentLayout();
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        const qreal top = layout->blockBoundingRect(block).top();
        const QTextLayout* blockLines = block.layout();
        for (int i = 0; i < blockLines->lineCount(); ++i) {
            const QTextLine line = blockLines->lineAt(i);
            lines.push_back({block.position() + line.textStart(), top + line.y() + line.height()});
        }
    }
    return lines;
}

int TEPCustomRichEdit::FitCount(const std::vector<LineExtent>& lines, int pageHeight) const
{
    const int height = pageHeight - marginPixels(margins_, logicalDpiX(), logicalDpiY()).height();
    for (const LineExtent& line : lines)
        if (line.bottom > height)
            return line.start;
    return TextLength();
}

int TEPCustomRichEdit::FormatRange(int pageWidth, int pageHeight) const
{
    const std::vector<LineExtent> lines = LayoutLines(pageWidth);
    if (lines.empty())
        return -1;
    return FitCount(lines, pageHeight);
}
