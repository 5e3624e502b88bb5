#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

// Tokens of a hex paste: runs of CR, LF, space, "," or ";" separate them; a
// token is two hex digits, or one when a separator follows it (and is skipped
// with it) or it ends the text. False at the first token that is not hex;
// `bytes` then holds nothing useful.
bool ParsePasteHex(std::string_view text, std::vector<uint8_t>& bytes);

// Value of a hex digit, or -1.
inline int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}
