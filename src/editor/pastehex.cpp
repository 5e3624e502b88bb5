#include "editor/pastehex.h"

namespace {

bool IsSeparator(char c) {
  return c == '\r' || c == '\n' || c == ' ' || c == ',' || c == ';';
}

} // namespace

bool ParsePasteHex(std::string_view text, std::vector<uint8_t>& bytes) {
  bytes.clear();
  size_t i = 0;
  const size_t n = text.size();
  while (i < n) {
    if (IsSeparator(text[i])) {
      ++i;
      continue;
    }
    int hi = HexDigitValue(text[i]);
    if (i + 1 < n && !IsSeparator(text[i + 1])) {
      int lo = HexDigitValue(text[i + 1]);
      if (hi < 0 || lo < 0) return false;
      bytes.push_back(static_cast<uint8_t>(hi * 16 + lo));
    } else {
      if (hi < 0) return false;
      bytes.push_back(static_cast<uint8_t>(hi));
    }
    i += 2;
  }
  return true;
}
