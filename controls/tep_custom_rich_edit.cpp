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

int TEPCustomRichEdit::FormatRange(int pageWidth, int pageHeight) const
{
    TEPRichEditMargins twips = margins_;
    twips.setMeasurementUnits(TEPRichEditMargins::epmuTwips);
    const int dpiX = logicalDpiX(), dpiY = logicalDpiY();
    const int width = pageWidth - MulDiv(twips.Left(), dpiX, 1440) - MulDiv(twips.Right(), dpiX, 1440);
    const int height = pageHeight - MulDiv(twips.Top(), dpiY, 1440) - MulDiv(twips.Bottom(), dpiY, 1440);
    if (width <= 0)
        return -1;

    // A copy, so that measuring leaves the shown layout alone.
    std::unique_ptr<QTextDocument> doc(document()->clone());
    doc->setDocumentMargin(0);
    doc->setTextWidth(width);
    QAbstractTextDocumentLayout* layout = doc->documentLayout();
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        const qreal top = layout->blockBoundingRect(block).top();
        const QTextLayout* lines = block.layout();
        for (int i = 0; i < lines->lineCount(); ++i) {
            const QTextLine line = lines->lineAt(i);
            if (top + line.y() + line.height() > height)
                return block.position() + line.textStart();
        }
    }
    return TextLength();
}
