#pragma once

#include "shell/richdoc.h"

class QTextDocument;

// Moves rich text between the editor's document and the RTF model.
TRichDocument RichFromDocument(const QTextDocument& doc);
void DocumentFromRich(const TRichDocument& rich, QTextDocument& doc);
