#include "editor/datamonitor.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "editor/delphifmt.h"
#include "editor/xhexedit.h"

TMonitorBytes MonitorBytes(const TXHexEdit& editor, int32_t offset) {
  TMonitorBytes b{};
  for (int i = 0; i < 8; ++i)
    b[static_cast<size_t>(i)] = editor.GetByte(offset + i); // 0 past the end
  return b;
}

namespace {

// Bytes first..first+count-1 as one number, first byte most significant.
uint64_t BigEndian(const TMonitorBytes& b, int first, int count) {
  uint64_t v = 0;
  for (int i = first; i < first + count; ++i)
    v = (v << 8) | b[static_cast<size_t>(i)];
  return v;
}

uint64_t LittleEndian(const TMonitorBytes& b, int first, int count) {
  uint64_t v = 0;
  for (int i = first + count - 1; i >= first; --i)
    v = (v << 8) | b[static_cast<size_t>(i)];
  return v;
}

} // namespace

std::string DoubleExponentText(uint64_t bits) {
  const uint64_t exponentBits = (bits >> 52) & 0x7FF;
  const uint64_t mantissa = bits & ((uint64_t{1} << 52) - 1);
  const bool negative = (bits >> 63) != 0;
  auto right = [](const char* text) {
    std::string s(text);
    return std::string(23 - s.size(), ' ') + s;
  };
  if (exponentBits == 0x7FF) {
    if (mantissa == 0) return right(negative ? "-Inf" : "+Inf");
    // The quiet bit clear: loading it traps.
    if ((mantissa & (uint64_t{1} << 51)) == 0) return "NAN";
    return right("Nan");
  }
  double value;
  std::memcpy(&value, &bits, sizeof value);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.14E", negative ? -value : value);
  // buf: "d.ddddddddddddddE+xxx"
  const char* e = std::strchr(buf, 'E');
  const int exponent = e ? std::atoi(e + 1) : 0;
  std::string mantissaText(buf, e ? static_cast<size_t>(e - buf) : std::strlen(buf));
  char exp[16];
  std::snprintf(exp, sizeof exp, "E%c%04d", exponent < 0 ? '-' : '+', std::abs(exponent));
  return std::string(negative ? "-" : " ") + mantissaText + exp;
}

std::string MonitorText(const TMonitorBytes& b, TMonitorLength length, TByteOrder order) {
  const bool intel = order == boIntel;
  switch (length) {
  case mlBits8:
    return Format("%u  %d", {unsigned{b[0]}, int{static_cast<int8_t>(b[0])}});
  case mlBits16: {
    const auto word = static_cast<uint16_t>(intel ? LittleEndian(b, 0, 2) : BigEndian(b, 0, 2));
    return Format("%u  %d", {unsigned{word}, int{static_cast<int16_t>(word)}});
  }
  case mlBits32: {
    const auto dword = static_cast<uint32_t>(intel ? LittleEndian(b, 0, 4) : BigEndian(b, 0, 4));
    float f;
    std::memcpy(&f, &dword, sizeof f);
    return Format("%u  %d  %f",
                  {unsigned{dword}, int{static_cast<int32_t>(dword)}, static_cast<double>(f)});
  }
  case mlBits64:
    break;
  }
  const uint64_t value = intel ? LittleEndian(b, 0, 8) : BigEndian(b, 0, 8);
  return Format("%u  %d  ",
                {static_cast<unsigned long long>(value), static_cast<long long>(value)}) +
         DoubleExponentText(value);
}

std::string MonitorText(const TXHexEdit& editor, int32_t offset, TMonitorLength length,
                        TByteOrder order) {
  return MonitorText(MonitorBytes(editor, offset), length, order);
}

TMonitorLength NextMonitorLength(TMonitorLength length) {
  return length >= mlBits64 ? mlBits8 : static_cast<TMonitorLength>(length + 1);
}

TByteOrder NextByteOrder(TByteOrder order) {
  return order == boIntel ? boMotorola : boIntel;
}

const char* MonitorLengthCaption(TMonitorLength length) {
  static const char* const captions[] = {"8 bits", "16 bits", "32 bits", "64 bits"};
  return captions[length <= mlBits64 ? length : mlBits8];
}

const char* ByteOrderCaption(TByteOrder order) {
  return order == boMotorola ? "Motorola" : "Intel";
}
