#include "scripting/engine/textformat.h"

#include "scripting/engine/library.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace kv::script {

namespace {
// "1.2345E+03" from printf becomes the mantissa and a signed three-digit exponent.
std::string Scientific(double v, int decimals, int expDigits) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*E", decimals, v);
  std::string s = buf;
  size_t e = s.find('E');
  if (e == std::string::npos) return s; // inf, nan
  std::string mant = s.substr(0, e);
  int exp = std::atoi(s.c_str() + e + 1);
  std::string digits = std::to_string(std::abs(exp));
  if (static_cast<int>(digits.size()) < expDigits)
    digits = std::string(static_cast<size_t>(expDigits) - digits.size(), '0') + digits;
  return mant + "E" + (exp < 0 ? "-" : "+") + digits;
}

std::string Fixed(double v, int decimals) {
  if (decimals > 60) decimals = 60;
  char buf[512];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  return buf;
}

std::string Thousands(const std::string& fixed) {
  size_t start = (fixed[0] == '-') ? 1 : 0;
  size_t dot = fixed.find('.');
  size_t intEnd = dot == std::string::npos ? fixed.size() : dot;
  std::string out = fixed.substr(0, start);
  std::string ip = fixed.substr(start, intEnd - start);
  for (size_t i = 0; i < ip.size(); ++i) {
    if (i > 0 && (ip.size() - i) % 3 == 0) out += ',';
    out += ip[i];
  }
  return out + fixed.substr(intEnd);
}

[[noreturn]] void BadFormat(const std::string& fmt) {
  throw TScriptError("Format '" + fmt + "' invalid or incompatible with argument");
}
} // namespace

std::string FormatWriteFloat(double v, int width, int prec) {
  if (prec >= 0) {
    std::string s = Fixed(v, prec);
    return s;
  }
  int decimals = 16;
  if (width > 0) decimals = std::max(1, std::min(16, width - 7));
  std::string s = Scientific(v, decimals, 3);
  if (!std::signbit(v)) s = " " + s;
  return s;
}

std::string FloatToText(double v) {
  if (std::isnan(v)) return "Nan";
  if (std::isinf(v)) return v > 0 ? "+Inf" : "-Inf";
  if (v == 0) return "0";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.14E", v);
  int exp = std::atoi(std::strchr(buf, 'E') + 1);
  if (exp >= 15 || exp < -5) {
    std::string mant(buf, std::strchr(buf, 'E'));
    while (!mant.empty() && mant.back() == '0')
      mant.pop_back();
    if (!mant.empty() && mant.back() == '.') mant.pop_back();
    return mant + "E" + std::to_string(exp);
  }
  int decimals = 14 - exp;
  if (decimals < 0) decimals = 0;
  std::string s = Fixed(v, decimals);
  if (s.find('.') != std::string::npos) {
    while (s.back() == '0')
      s.pop_back();
    if (s.back() == '.') s.pop_back();
  }
  return s;
}

std::string IntToHexText(int64_t value, int digits) {
  uint64_t u = static_cast<uint64_t>(value);
  if (value >= INT32_MIN && value <= INT32_MAX && value < 0) u &= 0xFFFFFFFFu;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(u));
  std::string s = buf;
  if (digits > 64) digits = 64;
  if (static_cast<int>(s.size()) < digits)
    s = std::string(static_cast<size_t>(digits) - s.size(), '0') + s;
  return s;
}

std::string FormatText(const std::string& fmt, const std::vector<TValue>& args) {
  std::string out;
  size_t argi = 0;
  size_t i = 0;
  auto next = [&]() -> const TValue& {
    if (argi >= args.size()) BadFormat(fmt);
    return args[argi++];
  };
  while (i < fmt.size()) {
    char c = fmt[i++];
    if (c != '%') {
      out += c;
      continue;
    }
    if (i < fmt.size() && fmt[i] == '%') {
      out += '%';
      ++i;
      continue;
    }
    bool left = false;
    int width = -1, prec = -1;
    // optional index "n:"
    size_t save = i;
    int num = 0;
    bool digits = false;
    while (i < fmt.size() && std::isdigit(static_cast<unsigned char>(fmt[i]))) {
      num = num * 10 + (fmt[i++] - '0');
      digits = true;
      if (num > 100000) BadFormat(fmt);
    }
    if (digits && i < fmt.size() && fmt[i] == ':') {
      argi = static_cast<size_t>(num);
      ++i;
    } else {
      i = save;
    }
    if (i < fmt.size() && fmt[i] == '-') {
      left = true;
      ++i;
    }
    if (i < fmt.size() && fmt[i] == '*') {
      width = static_cast<int>(next().I);
      ++i;
    } else {
      while (i < fmt.size() && std::isdigit(static_cast<unsigned char>(fmt[i]))) {
        width = (width < 0 ? 0 : width) * 10 + (fmt[i++] - '0');
        if (width > 100000) BadFormat(fmt);
      }
    }
    if (i < fmt.size() && fmt[i] == '.') {
      ++i;
      prec = 0;
      if (i < fmt.size() && fmt[i] == '*') {
        prec = static_cast<int>(next().I);
        ++i;
      } else {
        while (i < fmt.size() && std::isdigit(static_cast<unsigned char>(fmt[i]))) {
          prec = prec * 10 + (fmt[i++] - '0');
          if (prec > 1000) BadFormat(fmt);
        }
      }
    }
    if (i >= fmt.size()) BadFormat(fmt);
    char conv = static_cast<char>(std::tolower(static_cast<unsigned char>(fmt[i++])));
    const TValue& a = next();
    std::string piece;
    switch (conv) {
    case 'd':
    case 'u':
    case 'x': {
      if (a.Tag != TTag::Int) BadFormat(fmt);
      int64_t v = a.I;
      bool neg = false;
      if (conv == 'x') {
        piece = IntToHexText(v, 0);
      } else if (conv == 'u') {
        piece = std::to_string(static_cast<uint64_t>(v >= INT32_MIN && v < 0 ? v & 0xFFFFFFFF : v));
      } else {
        neg = v < 0;
        piece = std::to_string(neg ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v));
      }
      if (prec > 0 && static_cast<int>(piece.size()) < prec)
        piece = std::string(static_cast<size_t>(prec) - piece.size(), '0') + piece;
      if (neg) piece = "-" + piece;
      break;
    }
    case 's':
      if (a.Tag == TTag::Str)
        piece = a.AsString();
      else
        BadFormat(fmt);
      if (prec >= 0 && static_cast<int>(piece.size()) > prec)
        piece.resize(static_cast<size_t>(prec));
      break;
    case 'f':
    case 'n':
    case 'e':
    case 'g':
    case 'm': {
      if (a.Tag != TTag::Float && a.Tag != TTag::Int) BadFormat(fmt);
      double v = a.AsFloat();
      if (conv == 'f' || conv == 'm')
        piece = Fixed(v, prec < 0 ? 2 : prec);
      else if (conv == 'n')
        piece = Thousands(Fixed(v, prec < 0 ? 2 : prec));
      else if (conv == 'e')
        piece = Scientific(v, prec < 0 ? 14 : std::max(0, prec - 1), 3);
      else
        piece = FloatToText(v);
      break;
    }
    default:
      BadFormat(fmt);
    }
    if (width > 0 && static_cast<int>(piece.size()) < width) {
      if (left)
        piece.append(static_cast<size_t>(width) - piece.size(), ' ');
      else
        piece = std::string(static_cast<size_t>(width) - piece.size(), ' ') + piece;
    }
    out += piece;
  }
  return out;
}

} // namespace kv::script
