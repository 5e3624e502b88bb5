#include "editor/delphifmt.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

[[noreturn]] void Fail(std::string_view fmt) {
  throw TFormatError("Format '" + std::string(fmt) + "' invalid or incompatible with argument");
}

std::string ZeroFill(std::string digits, int precision) {
  if (precision > static_cast<int>(digits.size()))
    digits.insert(0, static_cast<size_t>(precision) - digits.size(), '0');
  return digits;
}

std::string HexDigits(uint64_t v) {
  static const char* const Hex = "0123456789ABCDEF";
  if (v == 0) return "0";
  std::string s;
  while (v) {
    s.insert(s.begin(), Hex[v & 15]);
    v >>= 4;
  }
  return s;
}

std::string NonFinite(double v) {
  if (std::isnan(v)) return "NAN";
  return v < 0 ? "-INF" : "INF";
}

// Decimal digits of |v| rounded to `significant` digits, and the decimal
// exponent of the first digit.
void SignificantDigits(double v, int significant, std::string& digits, int& exponent) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*e", significant - 1, std::fabs(v));
  digits.clear();
  const char* p = buf;
  for (; *p && *p != 'e'; ++p)
    if (*p != '.') digits += *p;
  exponent = *p ? std::atoi(p + 1) : 0;
}

std::string Fixed(double v, int precision, bool thousands) {
  if (!std::isfinite(v)) return NonFinite(v);
  if (std::fabs(v) >= 1e18) {
    // Too many integer digits for fixed notation: fall back to scientific.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14E", v);
    return buf;
  }
  std::vector<char> buf(static_cast<size_t>(precision) + 32);
  std::snprintf(buf.data(), buf.size(), "%.*f", precision, v);
  std::string s = buf.data();
  if (s == "-0" || (s.rfind("-0.", 0) == 0 && s.find_first_not_of("0.", 1) == std::string::npos))
    s.erase(0, 1); // no "-0.00" for tiny negative values
  if (!thousands) return s;
  size_t start = s[0] == '-' ? 1 : 0;
  size_t end = s.find('.');
  if (end == std::string::npos) end = s.size();
  for (size_t i = end; i > start + 3; i -= 3)
    s.insert(i - 3, 1, ',');
  return s;
}

std::string Scientific(double v, int precision) {
  if (!std::isfinite(v)) return NonFinite(v);
  std::string digits;
  int exponent = 0;
  SignificantDigits(v, precision, digits, exponent);
  if (v == 0) exponent = 0;
  std::string s = v < 0 ? "-" : "";
  s += digits[0];
  if (digits.size() > 1) s += "." + digits.substr(1);
  std::string e = std::to_string(std::abs(exponent));
  s += exponent < 0 ? "E-" : "E+";
  s += ZeroFill(e, 3);
  return s;
}

std::string General(double v, int precision) {
  if (!std::isfinite(v)) return NonFinite(v);
  if (v == 0) return "0";
  std::string digits;
  int exponent = 0;
  SignificantDigits(v, precision, digits, exponent);
  while (digits.size() > 1 && digits.back() == '0')
    digits.pop_back();
  std::string s = v < 0 ? "-" : "";
  if (exponent < -5 || exponent >= precision) {
    s += digits[0];
    if (digits.size() > 1) s += "." + digits.substr(1);
    s += "E" + std::to_string(exponent);
  } else if (exponent < 0) {
    s += "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
  } else {
    size_t intDigits = static_cast<size_t>(exponent) + 1;
    if (digits.size() <= intDigits) {
      s += digits + std::string(intDigits - digits.size(), '0');
    } else {
      s += digits.substr(0, intDigits) + "." + digits.substr(intDigits);
    }
  }
  return s;
}

} // namespace

bool RoundHalfEven(double value, int64_t& result) {
  if (!std::isfinite(value)) return false;
  double r = std::nearbyint(value); // default rounding mode: ties to even
  if (r < -9223372036854775808.0 || r >= 9223372036854775808.0) return false;
  result = static_cast<int64_t>(r);
  return true;
}

std::string Format(std::string_view fmt, std::initializer_list<TFmtArg> args) {
  const TFmtArg* argv = args.begin();
  const size_t argc = args.size();
  size_t next = 0;
  std::string out;
  out.reserve(fmt.size() + 16);

  auto takeInt = [&]() -> int {
    if (next >= argc) Fail(fmt);
    const TFmtArg& a = argv[next++];
    if (a.Kind == TFmtArg::TKind::Int32 || a.Kind == TFmtArg::TKind::Int64) {
      if (a.Int < 0 || a.Int > 4096) Fail(fmt);
      return static_cast<int>(a.Int);
    }
    if (a.Kind == TFmtArg::TKind::UInt64 && a.UInt <= 4096) return static_cast<int>(a.UInt);
    Fail(fmt);
  };
  auto readNumber = [&](size_t& i) -> int {
    int n = 0;
    while (i < fmt.size() && fmt[i] >= '0' && fmt[i] <= '9') {
      n = n * 10 + (fmt[i] - '0');
      if (n > 4096) Fail(fmt);
      ++i;
    }
    return n;
  };

  for (size_t i = 0; i < fmt.size(); ++i) {
    char c = fmt[i];
    if (c != '%') {
      out += c;
      continue;
    }
    if (++i >= fmt.size()) Fail(fmt);
    if (fmt[i] == '%') {
      out += '%';
      continue;
    }
    // Optional argument index "n:".
    size_t save = i;
    if (fmt[i] >= '0' && fmt[i] <= '9') {
      int n = readNumber(i);
      if (i < fmt.size() && fmt[i] == ':') {
        next = static_cast<size_t>(n);
        ++i;
      } else {
        i = save;
      }
    }
    bool left = false;
    if (i < fmt.size() && fmt[i] == '-') {
      left = true;
      ++i;
    }
    int width = 0;
    if (i < fmt.size() && fmt[i] == '*') {
      width = takeInt();
      ++i;
    } else {
      width = readNumber(i);
    }
    int precision = -1;
    if (i < fmt.size() && fmt[i] == '.') {
      ++i;
      if (i < fmt.size() && fmt[i] == '*') {
        precision = takeInt();
        ++i;
      } else {
        precision = readNumber(i);
      }
    }
    if (i >= fmt.size()) Fail(fmt);
    char type = static_cast<char>(fmt[i] | 0x20); // types are case-insensitive
    if (next >= argc) Fail(fmt);
    const TFmtArg& a = argv[next++];
    using K = TFmtArg::TKind;
    bool isInt = a.Kind == K::Int32 || a.Kind == K::Int64 || a.Kind == K::UInt64;
    std::string text;
    switch (type) {
    case 'd':
      if (!isInt) Fail(fmt);
      if (a.Kind == K::UInt64) {
        text = ZeroFill(std::to_string(a.UInt), precision);
      } else {
        uint64_t mag = a.Int < 0 ? 0 - static_cast<uint64_t>(a.Int) : static_cast<uint64_t>(a.Int);
        text = ZeroFill(std::to_string(mag), precision);
        if (a.Int < 0) text.insert(0, 1, '-');
      }
      break;
    case 'u':
    case 'x': {
      if (!isInt) Fail(fmt);
      uint64_t v = a.Kind == K::UInt64  ? a.UInt
                   : a.Kind == K::Int32 ? static_cast<uint32_t>(a.Int)
                                        : static_cast<uint64_t>(a.Int);
      text = ZeroFill(type == 'u' ? std::to_string(v) : HexDigits(v), precision);
      break;
    }
    case 's':
      if (a.Kind != K::String) Fail(fmt);
      text = std::string(a.Str);
      if (precision >= 0 && static_cast<size_t>(precision) < text.size())
        text.resize(static_cast<size_t>(precision));
      break;
    case 'f':
    case 'n':
      if (a.Kind != K::Float) Fail(fmt);
      text = Fixed(a.Float, precision < 0 ? 2 : std::min(precision, 64), type == 'n');
      break;
    case 'e':
      if (a.Kind != K::Float) Fail(fmt);
      text = Scientific(a.Float, precision <= 0 ? 15 : std::min(precision, 18));
      break;
    case 'g':
      if (a.Kind != K::Float) Fail(fmt);
      text = General(a.Float, precision <= 0 ? 15 : std::min(precision, 18));
      break;
    default:
      Fail(fmt);
    }
    if (static_cast<int>(text.size()) < width) {
      std::string pad(static_cast<size_t>(width) - text.size(), ' ');
      text = left ? text + pad : pad + text;
    }
    out += text;
  }
  return out;
}
