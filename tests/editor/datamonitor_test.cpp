#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "editor/datamonitor.h"
#include "editor/xhexedit.h"

namespace {

uint64_t Bits(double v) {
  uint64_t b;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

TEST(DataMonitor, TextsByLengthAndOrder) {
  struct {
    const char* Name;
    TMonitorBytes Bytes;
    TMonitorLength Length;
    TByteOrder Order;
    const char* Text;
  } const cases[] = {
      {"8 bits unsigned and signed", {0xFF}, mlBits8, boIntel, "255  -1"},
      {"16 bits Motorola", {0x12, 0x34}, mlBits16, boMotorola, "4660  4660"},
      {"16 bits Intel", {0x12, 0x34}, mlBits16, boIntel, "13330  13330"},
      {"16 bits negative", {0x00, 0x80}, mlBits16, boIntel, "32768  -32768"},
      {"32 bits float 1.0 Intel",
       {0x00, 0x00, 0x80, 0x3F},
       mlBits32,
       boIntel,
       "1065353216  1065353216  1.00"},
      {"32 bits float -2.5 Motorola",
       {0xC0, 0x20, 0x00, 0x00},
       mlBits32,
       boMotorola,
       "3223322624  -1071644672  -2.50"},
      {"32 bits NaN", {0xFF, 0xFF, 0xFF, 0xFF}, mlBits32, boIntel, "4294967295  -1  NAN"},
      {"64 bits 1.0 Intel",
       {0, 0, 0, 0, 0, 0, 0xF0, 0x3F},
       mlBits64,
       boIntel,
       "4607182418800017408  4607182418800017408   1.00000000000000E+0000"},
      {"64 bits all ones",
       {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
       mlBits64,
       boMotorola,
       "18446744073709551615  -1                      Nan"},
      {"64 bits Motorola keeps the dwords in order",
       {0x3F, 0xF0, 0, 0, 0, 0, 0, 0},
       mlBits64,
       boMotorola,
       "4607182418800017408  4607182418800017408   1.00000000000000E+0000"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MonitorText(c.Bytes, c.Length, c.Order), c.Text) << c.Name;
}

TEST(DataMonitor, DoubleExponentForm) {
  struct {
    const char* Name;
    uint64_t Bits;
    const char* Text;
  } const cases[] = {
      {"one", Bits(1.0), " 1.00000000000000E+0000"},
      {"zero", 0, " 0.00000000000000E+0000"},
      {"negative", Bits(-123.456), "-1.23456000000000E+0002"},
      {"small", Bits(1.5e-300), " 1.50000000000000E-0300"},
      {"rounded to 15 digits", Bits(2.0 / 3.0), " 6.66666666666667E-0001"},
      {"rounding carries into the exponent", Bits(9.9999999999999999e5), " 1.00000000000000E+0006"},
      {"largest", 0x7FEFFFFFFFFFFFFFull, " 1.79769313486232E+0308"},
      {"quiet NaN", 0x7FF8000000000000ull, "                    Nan"},
      {"negative quiet NaN", 0xFFF8000000000000ull, "                    Nan"},
      {"signalling NaN", 0x7FF0000000000001ull, "NAN"},
      {"plus infinity", 0x7FF0000000000000ull, "                   +Inf"},
      {"minus infinity", 0xFFF0000000000000ull, "                   -Inf"},
  };
  for (const auto& c : cases) {
    const std::string text = DoubleExponentText(c.Bits);
    EXPECT_EQ(text, c.Text) << c.Name;
    if (std::string(c.Text) != "NAN") {
      EXPECT_EQ(text.size(), 23u) << c.Name;
    }
  }
}

TEST(DataMonitor, BytesPastTheEndCountAsZero) {
  TXHexEdit editor;
  editor.NewData("m", 3);
  for (int i = 0; i < 4; ++i)
    editor.Data()[i] = static_cast<uint8_t>(0xA0 + i);
  // Storage beyond the end keeps old values; the monitor must not show them.
  editor.SetLastIndex(15);
  std::memset(editor.Data() + 4, 0xEE, 12);
  editor.SetLastIndex(3);
  const TMonitorBytes at3 = MonitorBytes(editor, 3);
  EXPECT_EQ(at3, (TMonitorBytes{0xA3, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(MonitorText(editor, 3, mlBits64, boIntel).substr(0, 8), "163  163");
  EXPECT_EQ(MonitorText(editor, 4, mlBits32, boMotorola), "0  0  0.00");
}

TEST(DataMonitor, ButtonCycles) {
  TMonitorLength l = mlBits8;
  std::vector<std::string> captions;
  for (int i = 0; i < 5; ++i) {
    captions.push_back(MonitorLengthCaption(l));
    l = NextMonitorLength(l);
  }
  EXPECT_EQ(captions,
            (std::vector<std::string>{"8 bits", "16 bits", "32 bits", "64 bits", "8 bits"}));
  EXPECT_STREQ(ByteOrderCaption(NextByteOrder(boIntel)), "Motorola");
  EXPECT_STREQ(ByteOrderCaption(NextByteOrder(boMotorola)), "Intel");
}

} // namespace
