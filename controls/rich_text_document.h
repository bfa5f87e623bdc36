#pragma once
// Moves rich text between the RTF layer and a QTextDocument: one block per
// paragraph, one fragment per run.

#include <QTextDocument>

#include "platform/rtf_text.h"

// Replaces the document's content with `text`.
void SetDocumentRichText(QTextDocument& document, const platform::RichText& text);
platform::RichText DocumentRichText(const QTextDocument& document);
