#pragma once

#include <string>

#include "shell/richdoc.h"

// Writes a document as plain 7-bit RTF that common word processors and the
// reader here read back to the same document: Western characters as \'hh,
// the rest as \uN with a "?" fallback.
class TRtfWriter {
public:
  static std::string Write(const TRichDocument& doc);
};
