#include "editor/statuspanel.h"

#include <cstdio>

#include "editor/xhexedit.h"

TSizeMode TStatusPanel::SizeMode = smHex;
TMonitorLength TStatusPanel::MonitorLength = mlBits8;
TByteOrder TStatusPanel::MonitorOrder = boIntel;

namespace {

std::string Printf(const char* format, unsigned long value) {
  char buf[40];
  std::snprintf(buf, sizeof buf, format, value);
  return buf;
}

// The text without mask blanks, spaces and the notation letter at its end.
std::string Digits(const std::string& text, char suffix) {
  std::string s;
  for (char c : text)
    if (c != ' ' && c != '_' && c != '\t') s += c;
  if (!s.empty() && (s.back() == suffix || s.back() == suffix - 'a' + 'A')) s.pop_back();
  return s;
}

bool DigitValue(char c, int base, int& digit) {
  if (c >= '0' && c <= '9')
    digit = c - '0';
  else if (c >= 'a' && c <= 'f')
    digit = c - 'a' + 10;
  else if (c >= 'A' && c <= 'F')
    digit = c - 'A' + 10;
  else
    return false;
  return digit < base;
}

// Unsigned digits of one base; false when empty, not a digit or above `limit`.
bool ParseUnsigned(const std::string& digits, int base, uint64_t limit, uint64_t& value) {
  if (digits.empty()) return false;
  value = 0;
  for (char c : digits) {
    int d = 0;
    if (!DigitValue(c, base, d)) return false;
    value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
    if (value > limit) return false;
  }
  return true;
}

} // namespace

std::string TStatusPanel::OffsetText(int32_t offset, TOffsetMode mode) {
  const auto v = static_cast<unsigned long>(static_cast<uint32_t>(offset));
  switch (mode) {
  case omDec:
    return Printf("%08lu", v);
  case omOctal:
    return Printf("%08lo", v);
  case omHex:
    break;
  }
  return Printf("%06lX", v);
}

std::string TStatusPanel::DataText(uint8_t value, THexMode mode) {
  THexCellFormat format;
  format.HexMode = mode;
  return format.DataText(value);
}

std::string TStatusPanel::SizeText(int32_t size, TSizeMode mode) {
  const auto v = static_cast<unsigned long>(static_cast<uint32_t>(size));
  switch (mode) {
  case smDec:
    return Printf("%08lu", v);
  case smOctal:
    return Printf("%08loo", v);
  case smHex:
    break;
  }
  return Printf("%06lXh", v);
}

const char* TStatusPanel::OffsetMask(TOffsetMode mode) {
  switch (mode) {
  case omDec:
    return "99999999;0;_";
  case omOctal:
    return "99999999o;0;_";
  case omHex:
    break;
  }
  return "cccccch;0;_";
}

const char* TStatusPanel::DataMask(THexMode mode) {
  switch (mode) {
  case hmDec:
    return "999;0;_";
  case hmOctal:
    return "999o;0;_";
  case hmBin:
    return "99999999b;0;_";
  case hmHex:
    break;
  }
  return "cch;0;_";
}

std::string TStatusPanel::QtInputMask(const std::string& mask) {
  const size_t semi = mask.find(';');
  const std::string body = mask.substr(0, semi);
  char blank = ' ';
  const size_t lastSemi = mask.rfind(';');
  if (semi != std::string::npos && lastSemi != semi && lastSemi + 1 < mask.size())
    blank = mask[lastSemi + 1];
  std::string out;
  for (char c : body) {
    switch (c) {
    case 'c':
      out += 'x';
      break;
    case 'C':
      out += 'X';
      break;
    case '9':
      out += '0';
      break;
    case '0':
      out += '9';
      break;
    case 'L':
      out += 'A';
      break;
    case 'l':
      out += 'a';
      break;
    case 'A':
      out += 'N';
      break;
    case 'a':
      out += 'n';
      break;
    case '#':
      out += '#';
      break;
    default:
      // Everything else is a literal; Qt gives many letters a meaning.
      out += '\\';
      out += c;
    }
  }
  out += ';';
  out += blank;
  return out;
}

bool TStatusPanel::ParseOffset(const std::string& text, TOffsetMode mode, int32_t& offset) {
  uint64_t v = 0;
  const uint64_t limit = INT32_MAX;
  bool ok = false;
  switch (mode) {
  case omHex:
    ok = ParseUnsigned(Digits(text, 'h'), 16, limit, v);
    break;
  case omDec:
    ok = ParseUnsigned(Digits(text, 'd'), 10, limit, v);
    break;
  case omOctal:
    ok = ParseUnsigned(Digits(text, 'o'), 8, limit, v);
    break;
  }
  if (ok) offset = static_cast<int32_t>(v);
  return ok;
}

bool TStatusPanel::ParseData(const std::string& text, THexMode mode, uint8_t& value) {
  uint64_t v = 0;
  bool ok = false;
  switch (mode) {
  case hmHex:
    ok = ParseUnsigned(Digits(text, 'h'), 16, 255, v);
    break;
  case hmDec:
    ok = ParseUnsigned(Digits(text, 'd'), 10, 255, v);
    break;
  case hmOctal:
    ok = ParseUnsigned(Digits(text, 'o'), 8, 255, v);
    break;
  case hmBin: {
    std::string digits = Digits(text, 'b');
    if (digits.size() > 32) digits.erase(0, digits.size() - 32);
    ok = ParseUnsigned(digits, 2, 255, v);
    break;
  }
  }
  if (ok) value = static_cast<uint8_t>(v);
  return ok;
}

TStatusPanel::TTexts TStatusPanel::Texts(const TXHexEdit& editor, TOffsetMode offsetMode) {
  TTexts t;
  if (editor.DataSize() == 0) return t;
  const int32_t caret = editor.CaretOffset();
  t.HasData = true;
  t.Offset = OffsetText(caret, offsetMode);
  t.Data = DataText(editor.GetByte(caret), editor.HexMode());
  t.Size = SizeText(editor.DataSize(), SizeMode);
  t.Monitor = MonitorText(editor, caret, MonitorLength, MonitorOrder);
  return t;
}

bool TStatusPanel::GoTo(TXHexEdit& editor, const std::string& text, TOffsetMode mode) {
  int32_t offset = 0;
  if (!ParseOffset(text, mode, offset)) return false;
  editor.SetSelection(true, offset, offset);
  editor.SetCaretOffset(offset);
  editor.RefreshView();
  return true;
}

bool TStatusPanel::EnterData(TXHexEdit& editor, const std::string& text) {
  uint8_t value = 0;
  const int32_t caret = editor.CaretOffset();
  // At the end of the buffer there is no byte to store into.
  if (caret >= editor.DataSize() || !ParseData(text, editor.HexMode(), value)) return false;
  editor.SetByte(caret, value);
  editor.SetCaretOffset(caret + 1);
  editor.SetSelection(true, editor.CaretOffset(), editor.CaretOffset());
  editor.RefreshView();
  return true;
}

void TStatusPanel::CycleSizeMode() {
  SizeMode = SizeMode >= smOctal ? smHex : static_cast<TSizeMode>(SizeMode + 1);
}

void TStatusPanel::CycleMonitorLength() {
  MonitorLength = NextMonitorLength(MonitorLength);
}

void TStatusPanel::ToggleMonitorOrder() {
  MonitorOrder = NextByteOrder(MonitorOrder);
}
