#include "families/e2memframe.h"

#include <cctype>
#include <cstdint>
#include <cstdio>

bool ReadHexEdit(const std::string& text, int& value) {
  // Up to eight digits, as a 32-bit integer (so 80000000 and above read negative).
  if (text.empty() || text.size() > 8) return false;
  std::uint32_t v = 0;
  for (char c : text) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    const int d = std::isdigit(static_cast<unsigned char>(c))
                      ? c - '0'
                      : std::toupper(static_cast<unsigned char>(c)) - 'A' + 10;
    v = (v << 4) | static_cast<std::uint32_t>(d);
  }
  value = static_cast<int>(static_cast<std::int32_t>(v));
  return true;
}

std::string HexText(int value) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%X", static_cast<unsigned>(value));
  return buf;
}

void TRangeFields::ShowRange() {
  StartText = HexText(RangeStart);
  EndText = HexText(RangeEnd);
  Changed();
}

bool TRangeFields::SetRange(int start, int end) {
  if (start < 0 || end < start || end >= EndLimit()) return false;
  RangeStart = start;
  RangeEnd = end;
  ShowRange();
  return true;
}

void TRangeFields::Reject(std::string& text, int previous) {
  if (OnBeep) OnBeep();
  text = HexText(previous);
  SelectAllRequested = true;
  Changed();
}

bool TRangeFields::StartEditChange(const std::string& text) {
  int v = 0;
  if (!ReadHexEdit(text, v) || v < 0 || v > RangeEnd) {
    Reject(StartText, RangeStart);
    return false;
  }
  StartText = text;
  RangeStart = v;
  Changed();
  return true;
}

bool TRangeFields::EndEditChange(const std::string& text) {
  int v = 0;
  if (!ReadHexEdit(text, v) || v < 0 || v >= EndLimit()) {
    Reject(EndText, RangeEnd);
    return false;
  }
  EndText = text;
  RangeEnd = v;
  Changed();
  return true;
}

Te2memoryFrame::Te2memoryFrame() {
  static unsigned count = 0;
  Name = "E2MemoryBaseFrame_" + std::to_string(++count);
}

bool Te2memoryFrame::RegisterEditChange(const std::string& text) {
  int v = 0;
  if (!ReadHexEdit(text, v) || v < 0 || v > 0xFF) {
    if (OnBeep) OnBeep();
    SelectAllRequested = true;
    Changed(); // the edit's undo keeps the previous text
    return false;
  }
  RegisterText = text;
  Changed();
  return true;
}

int Te2memoryFrame::RegisterValue() const {
  int v = 0;
  if (!ReadHexEdit(RegisterText, v) || v < 0) return 0;
  return v & 0xFF;
}

void Te2memoryFrame::SetRegisterValue(int value) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%2.2X", static_cast<unsigned>(value & 0xFF));
  RegisterText = buf;
  Changed();
}

void Te2memoryFrame::SetCapacities(int memCapacity, int eepromCapacity) {
  MemCapacity = memCapacity;
  EepromCapacity = eepromCapacity;
  Changed();
}

void Te2memoryFrame::ShowStatusRegister(bool visible) {
  ReadStatusRegisterBtn.Visible = visible;
  WriteStatusRegisterBtn.Visible = visible;
  RegisterLabelVisible = visible;
  RegisterEditVisible = visible;
  Changed();
}
