#pragma once

#include <string>

#include "shell/richdoc.h"

// Reads the RTF most editors write: groups, font and colour tables, bold,
// italic, underline, strikeout, size, colour, alignment, bullets, paragraphs
// and line breaks, \'hh bytes (Western code page) and \uN characters.
// Unknown destinations and pictures are skipped; broken input never throws.
class TRtfReader {
public:
  static bool LooksLikeRtf(const std::string& text);
  static TRichDocument Read(const std::string& rtf);
};
