#pragma once

#include <cstdint>
#include <limits>
#include <string_view>

// An integer as the program's edits and scripts read one: blanks around it,
// an optional sign, decimal digits, or hexadecimal after "$" or "0x". A
// hexadecimal value takes all 64 bits ($FFFFFFFFFFFFFFFF is -1); a decimal one
// must fit a signed 64-bit integer.
enum class TIntParse { Ok, NotInteger, OutOfRange };

inline TIntParse ParseInteger(std::string_view text, std::int64_t& value) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return TIntParse::NotInteger;
  const std::string_view s = text.substr(first, text.find_last_not_of(" \t") - first + 1);
  std::size_t i = 0;
  const bool negative = s[0] == '-';
  if (s[0] == '+' || s[0] == '-') ++i;
  unsigned base = 10;
  if (i < s.size() && s[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= s.size()) return TIntParse::NotInteger;
  std::uint64_t v = 0;
  bool overflow = false;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    unsigned digit;
    if (c >= '0' && c <= '9')
      digit = static_cast<unsigned>(c - '0');
    else if (base == 16 && c >= 'a' && c <= 'f')
      digit = static_cast<unsigned>(c - 'a' + 10);
    else if (base == 16 && c >= 'A' && c <= 'F')
      digit = static_cast<unsigned>(c - 'A' + 10);
    else
      return TIntParse::NotInteger;
    if (v > (std::numeric_limits<std::uint64_t>::max() - digit) / base)
      overflow = true;
    else
      v = v * base + digit;
  }
  const std::uint64_t decimalMax =
      negative ? std::uint64_t{1} << 63 : std::uint64_t{std::numeric_limits<std::int64_t>::max()};
  if (overflow || (base == 10 && v > decimalMax)) return TIntParse::OutOfRange;
  value = static_cast<std::int64_t>(negative ? 0 - v : v);
  return TIntParse::Ok;
}
