#pragma once
// A rich text edit whose page margins apply whenever it measures how much
// of its text fits a page; its text is laid out over the whole widget.

#include <QTextEdit>

#include <vector>

#include "controls/tep_rich_edit_margins.h"

class TEPCustomRichEdit : public QTextEdit {
    Q_OBJECT

public:
    explicit TEPCustomRichEdit(QWidget* parent = nullptr);

    TEPRichEditMargins& Margins() { return margins_; }
    const TEPRichEditMargins& Margins() const { return margins_; }

    // Where each line of the text starts and how far down it ends, laid
    // out on a page pageWidth pixels wide less the margins; empty when the
    // page has no width left.
    struct LineExtent {
        int start;
        qreal bottom;
    };
    std::vector<LineExtent> LayoutLines(int pageWidth) const;
    // Of text laid out so, the index of the first character that does not
    // fit a page pageHeight pixels high less the margins; the text length
    // when all of it fits.
    int FitCount(const std::vector<LineExtent>& lines, int pageHeight) const;
    // Both for one page: -1 when the page has no width left.
    int FormatRange(int pageWidth, int pageHeight) const;

    // Text length in characters (the final paragraph end not counted).
    int TextLength() const;

private:
    TEPRichEditMargins margins_;
};
