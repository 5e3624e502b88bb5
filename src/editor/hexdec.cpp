#include "editor/hexdec.h"

#include <bit>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "editor/delphifmt.h"
#include "editor/pastehex.h"

namespace {

// "$" + text as a 64-bit integer: 1 to 16 hex digits, wrapping into the sign.
bool ParseHex64(std::string_view text, int64_t& value) {
  if (text.empty() || text.size() > 16) return false;
  uint64_t v = 0;
  for (char c : text) {
    int d = HexDigitValue(c);
    if (d < 0) return false;
    v = v << 4 | static_cast<uint64_t>(d);
  }
  value = static_cast<int64_t>(v);
  return true;
}

// Decimal notation: optional sign, digits with an optional point, optional
// exponent; surrounding blanks allowed.
bool ParseFloat(std::string_view text, double& value) {
  while (!text.empty() && text.front() == ' ')
    text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ')
    text.remove_suffix(1);
  size_t i = 0, n = text.size();
  if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digits = 0;
  while (i < n && text[i] >= '0' && text[i] <= '9')
    ++i, ++digits;
  if (i < n && text[i] == '.') {
    ++i;
    while (i < n && text[i] >= '0' && text[i] <= '9')
      ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
    size_t expDigits = 0;
    while (i < n && text[i] >= '0' && text[i] <= '9')
      ++i, ++expDigits;
    if (expDigits == 0) return false;
  }
  if (i != n) return false;
  std::string s(text);
  value = std::strtod(s.c_str(), nullptr);
  return std::isfinite(value);
}

const char* const OutOfRange = "Out of Range";
const char* const NotANumber = "NAN";

} // namespace

void THexDecConverter::CycleType() {
  Type = Type == hdFloat64 ? hdUnsigned : static_cast<THexDecType>(Type + 1);
}

const char* THexDecConverter::TypeCaption(THexDecType type) {
  static const char* const Captions[] = {"Unsigned",       "8 bits Signed",  "16 bits Signed",
                                         "32 bits Signed", "64 bits Signed", "32 bits Float",
                                         "64 bits Float"};
  return Captions[type <= hdFloat64 ? type : 0];
}

const char* THexDecConverter::TypeCaption() const {
  return TypeCaption(Type);
}

THexDecResult THexDecConverter::HexToDec(std::string_view hexText) {
  int64_t parsed;
  if (!ParseHex64(hexText, parsed)) return {"", true};
  Value = static_cast<double>(parsed);
  int64_t v;
  if (!RoundHalfEven(Value, v)) return {NotANumber, false};
  switch (Type) {
  case hdUnsigned:
    return {Format("%u", {static_cast<unsigned long long>(v)}), false};
  case hdSigned8:
    if (std::fabs(Value) >= 256) return {OutOfRange, false};
    return {Format("%d", {static_cast<int>(static_cast<int8_t>(v))}), false};
  case hdSigned16:
    if (v < -32768 || v > 65535) return {"", false};
    return {Format("%d", {static_cast<int>(static_cast<int16_t>(v))}), false};
  case hdSigned32:
    if (v < -2147483648LL || v > 4294967295LL) return {OutOfRange, false};
    return {Format("%d", {static_cast<int>(static_cast<int32_t>(v))}), false};
  case hdSigned64:
    return {Format("%d", {static_cast<long long>(v)}), false};
  case hdFloat32:
    return {Format("%f", {static_cast<double>(std::bit_cast<float>(
                             static_cast<uint32_t>(static_cast<uint64_t>(v))))}),
            false};
  case hdFloat64:
    return {Format("%f", {std::bit_cast<double>(static_cast<uint64_t>(v))}), false};
  }
  return {"", false};
}

THexDecResult THexDecConverter::DecToHex(std::string_view decText) {
  double value;
  if (!ParseFloat(decText, value)) return {"", true};
  Value = value;
  int64_t v = 0;
  const bool rounded = RoundHalfEven(value, v);
  auto hex = [](const char* fmt, uint64_t bits) {
    return THexDecResult{Format(fmt, {static_cast<unsigned long long>(bits)}), false};
  };
  switch (Type) {
  case hdUnsigned:
    if (!rounded) return {NotANumber, false};
    return hex("%x", v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v));
  case hdSigned8:
    if (!(value > -129 && value < 256)) return {OutOfRange, false};
    return hex("%2.2x", static_cast<uint64_t>(v) & 0xFF);
  case hdSigned16:
    if (!(value >= -32768 && value < 65536)) return {OutOfRange, false};
    return hex("%4.4x", static_cast<uint64_t>(v) & 0xFFFF);
  case hdSigned32:
    if (!(value >= -2147483648.0 && value < 4294967296.0)) return {OutOfRange, false};
    return hex("%8.8x", static_cast<uint64_t>(v) & 0xFFFFFFFFu);
  case hdSigned64:
    if (!rounded) return {NotANumber, false};
    return hex("%16.16x", static_cast<uint64_t>(v));
  case hdFloat32: {
    if (std::fabs(value) > std::numeric_limits<float>::max()) return {NotANumber, false};
    return hex("%8.8x", std::bit_cast<uint32_t>(static_cast<float>(value)));
  }
  case hdFloat64:
    return hex("%16.16x", std::bit_cast<uint64_t>(value));
  }
  return {"", false};
}
