#include "editor/hexcells.h"

#include <algorithm>

#include "editor/delphifmt.h"

namespace {

std::string Radix(uint32_t value, int bits, int digits) {
  std::string s(static_cast<size_t>(digits), '0');
  for (int i = digits - 1; i >= 0 && value; --i) {
    s[static_cast<size_t>(i)] = static_cast<char>('0' + (value & ((1u << bits) - 1)));
    value >>= bits;
  }
  return s;
}

} // namespace

std::string THexCellFormat::OffsetText(int32_t offset, bool forPrint) const {
  const int32_t shown = static_cast<int32_t>(static_cast<uint32_t>(offset) +
                                             static_cast<uint32_t>(OffsetBaseAddress));
  const int digits = std::clamp(OffsetDigits, 1, 8);
  std::string s;
  switch (OffsetMode) {
  case omHex:
    s = Format("%*.*x", {digits, digits, shown});
    if (static_cast<int>(s.size()) > digits) s.erase(0, s.size() - static_cast<size_t>(digits));
    break;
  case omDec:
    s = Format("%*.*d", {DecimalOffsetDigits(), DecimalOffsetDigits(), shown});
    break;
  case omOctal:
    s = Radix(static_cast<uint32_t>(shown), 3, forPrint ? 8 : DecimalOffsetDigits());
    break;
  }
  return s + OffsetSeparator;
}

std::string THexCellFormat::DataText(uint8_t value) const {
  switch (HexMode) {
  case hmHex:
    return Format("%2.2x", {value});
  case hmDec:
    return Format("%3.3d", {value});
  case hmOctal:
    return Radix(value, 3, 3);
  case hmBin:
    return Radix(value, 1, 8);
  }
  return {};
}

int THexCellFormat::DataTextWidth() const {
  return HexMode == hmHex ? 2 : HexMode == hmBin ? 8 : 3;
}

char THexCellFormat::CharText(uint8_t value) const {
  return (value < 0x20 && !TextAllChars) ? TextMaskChar : static_cast<char>(value);
}

int NextBytesPerLine(int bytesPerLine) {
  switch (bytesPerLine) {
  case 2:
  case 4:
  case 8:
    return bytesPerLine * 2;
  default:
    return 2;
  }
}

TOffsetMode NextOffsetMode(TOffsetMode mode) {
  return mode == omHex ? omDec : mode == omDec ? omOctal : omHex;
}

THexMode NextHexMode(THexMode mode) {
  return mode == hmHex ? hmDec : mode == hmDec ? hmOctal : mode == hmOctal ? hmBin : hmHex;
}

std::string CopyDump(const TXHexEdit& editor, const THexCellFormat& format) {
  int32_t first, last;
  if (!editor.NormalisedSelection(first, last)) return {};
  const int32_t perLine = std::max(format.BytesPerLine, 1);
  const std::string blank(static_cast<size_t>(format.DataTextWidth()) + 1, ' ');
  std::string out;
  for (int32_t row = first / perLine * perLine; row <= last; row += perLine) {
    if (!out.empty()) out += "\r\n";
    out += format.OffsetText(row) + " ";
    std::string chars;
    for (int32_t i = row; i < row + perLine; ++i) {
      if (i < editor.DataSize()) {
        uint8_t b = editor.GetByte(i);
        out += format.DataText(b) + " ";
        chars += b < 0x20 ? format.TextMaskChar : static_cast<char>(b);
      } else {
        out += blank;
        chars += ' ';
      }
    }
    out += " " + chars;
  }
  return out;
}
