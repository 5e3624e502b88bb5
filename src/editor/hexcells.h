#pragma once

#include <cstdint>
#include <string>

#include "editor/xhexedit.h"

enum TOffsetMode : uint8_t { omHex, omDec, omOctal };

// The texts of the editor's three columns, shared by drawing, printing and
// the copy dump.
struct THexCellFormat {
  int BytesPerLine = 16;
  int OffsetDigits = 6; // N hex digits; decimal and octal use DecimalOffsetDigits()
  std::string OffsetSeparator = ":";
  int32_t OffsetBaseAddress = 0;
  TOffsetMode OffsetMode = omHex;
  THexMode HexMode = hmHex;
  char TextMaskChar = '.';
  bool TextAllChars = false;

  // N + 1 digits, one more when N > 4 (N = 6 gives 8).
  int DecimalOffsetDigits() const { return OffsetDigits + 1 + (OffsetDigits > 4 ? 1 : 0); }
  // (offset + OffsetBaseAddress) in the offset notation, then the separator.
  // Octal uses 8 digits in print.
  std::string OffsetText(int32_t offset, bool forPrint = false) const;
  // "%2.2x", "%3.3d", 3 octal digits or 8 binary digits.
  std::string DataText(uint8_t value) const;
  int DataTextWidth() const; // 2, 3, 3 or 8
  // The text column's character (TextMaskChar below 20h unless TextAllChars).
  char CharText(uint8_t value) const;
};

// The view's cycling commands: 2 -> 4 -> 8 -> 16 -> 2 (any other value -> 2);
// hex -> decimal -> octal -> hex; hex -> decimal -> octal -> binary -> hex.
int NextBytesPerLine(int bytesPerLine);
TOffsetMode NextOffsetMode(TOffsetMode mode);
THexMode NextHexMode(THexMode mode);

// The whole rows holding the selection: per row the offset text and a space,
// each byte's data text and a space (blanks beyond the end), a space and the
// row's characters (bytes below 20h as TextMaskChar); rows joined with CR LF.
// Empty without a selection.
std::string CopyDump(const TXHexEdit& editor, const THexCellFormat& format);
