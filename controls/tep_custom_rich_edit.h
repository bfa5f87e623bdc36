#pragma once
// A rich text edit whose page margins apply whenever it measures how much
// of its text fits a page; its text is laid out over the whole widget.

#include <QTextEdit>

#include "controls/tep_rich_edit_margins.h"

class TEPCustomRichEdit : public QTextEdit {
    Q_OBJECT

public:
    explicit TEPCustomRichEdit(QWidget* parent = nullptr);

    TEPRichEditMargins& Margins() { return margins_; }
    const TEPRichEditMargins& Margins() const { return margins_; }

    // The text as one page of pageWidth x pageHeight pixels less the
    // margins lays it out: the index of the first character that does not
    // fit, the text length when all of it fits, -1 when the page has no
    // width left.
    int FormatRange(int pageWidth, int pageHeight) const;

    // Text length in characters (the final paragraph end not counted).
    int TextLength() const;

private:
    TEPRichEditMargins margins_;
};
