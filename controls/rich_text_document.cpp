#include "controls/rich_text_document.h"

#include <QTextBlock>
#include <QTextCursor>

#include "controls/qt_text.h"

namespace {

QTextCharFormat formatOf(const platform::RichTextRun& run)
{
    QTextCharFormat f;
    if (run.bold)
        f.setFontWeight(QFont::Bold);
    if (run.italic)
        f.setFontItalic(true);
    if (run.underline)
        f.setFontUnderline(true);
    if (run.hasColor)
        f.setForeground(QColor(QRgb(run.color)));
    if (run.fontSize > 0)
        f.setFontPointSize(run.fontSize);
    return f;
}

platform::RichTextRun runOf(const QTextFragment& fragment)
{
    const QTextCharFormat f = fragment.charFormat();
    platform::RichTextRun run;
    run.text = QStringToBytes(fragment.text());
    run.bold = f.fontWeight() >= QFont::Bold;
    run.italic = f.fontItalic();
    run.underline = f.fontUnderline();
    if (f.hasProperty(QTextFormat::ForegroundBrush)) {
        run.hasColor = true;
        run.color = f.foreground().color().rgb() & 0xFFFFFF;
    }
    if (f.hasProperty(QTextFormat::FontPointSize))
        run.fontSize = static_cast<int>(f.fontPointSize() + 0.5);
    return run;
}

}  // namespace

void SetDocumentRichText(QTextDocument& document, const platform::RichText& text)
{
    document.clear();
    QTextCursor cursor(&document);
    bool first = true;
    for (const auto& paragraph : text.paragraphs) {
        if (!first)
            cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
        first = false;
        for (const auto& run : paragraph.runs)
            cursor.insertText(BytesToQString(run.text), formatOf(run));
    }
}

platform::RichText DocumentRichText(const QTextDocument& document)
{
    platform::RichText out;
    // An empty document has one empty block and holds no paragraph.
    if (document.isEmpty())
        return out;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        platform::RichTextParagraph paragraph;
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().isValid())
                paragraph.runs.push_back(runOf(it.fragment()));
        out.paragraphs.push_back(std::move(paragraph));
    }
    return out;
}
