#pragma once

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>

// The one formatter for every text the program builds from a format string.
//
// Directives: "%" [index ":"] ["-"] [width] ["." precision] type, where width
// and precision may be "*" (taken from the next argument, an integer).
//   d  signed decimal; precision = minimum digits, zero-filled ("%8.8d")
//   u  unsigned decimal (a negative 32-bit argument is read as its 32 bits)
//   x  hexadecimal, upper-case digits, no prefix; precision as for d ("%2.2x")
//   s  string; precision = maximum characters
//   f  fixed point, 2 decimals unless a precision is given ("%1.2f", "%.0f")
//   n  as f, with "," between thousands ("%.*n")
//   e  scientific, precision significant digits (default 15), "E+ddd"
//   g  shortest general form, 15 significant digits ("0.1", "1E20", "1.5E-6")
//   %  a literal "%"
// Width pads with spaces on the left, or on the right after "-".
// Floating-point rounding is to nearest with ties to even on the exact binary
// value; NaN and infinities print as "NAN", "INF" and "-INF".
// A directive that does not match its argument, or runs out of arguments,
// throws TFormatError with the text "Format '<fmt>' invalid or incompatible
// with argument".

class TFormatError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

class TFmtArg {
public:
  enum class TKind { Int32, Int64, UInt64, Float, String };

  TFmtArg(int v) : Kind(TKind::Int32), Int(v) {}
  TFmtArg(unsigned v) : Kind(TKind::Int64), Int(v) {}
  TFmtArg(long v) : Kind(TKind::Int64), Int(v) {}
  TFmtArg(long long v) : Kind(TKind::Int64), Int(v) {}
  TFmtArg(unsigned long v) : Kind(TKind::UInt64), UInt(v) {}
  TFmtArg(unsigned long long v) : Kind(TKind::UInt64), UInt(v) {}
  TFmtArg(double v) : Kind(TKind::Float), Float(v) {}
  TFmtArg(const char* v) : Kind(TKind::String), Str(v) {}
  TFmtArg(const std::string& v) : Kind(TKind::String), Str(v) {}
  TFmtArg(std::string_view v) : Kind(TKind::String), Str(v) {}

  TKind Kind;
  int64_t Int = 0;
  uint64_t UInt = 0;
  double Float = 0;
  std::string_view Str;
};

std::string Format(std::string_view fmt, std::initializer_list<TFmtArg> args);

// Rounds to the nearest integer, halves to the even neighbour. False for NaN,
// infinities and results outside the int64 range (the caller's arithmetic
// failure).
bool RoundHalfEven(double value, int64_t& result);
