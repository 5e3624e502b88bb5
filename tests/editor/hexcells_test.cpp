#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "editor/hexcells.h"

namespace {

TEST(HexCells, CellTexts) {
  struct {
    const char* Name;
    THexCellFormat Format;
    int32_t Offset;
    uint8_t Byte;
    std::string OffsetText, DataText;
    char Char;
  } const cases[] = {
      {"defaults", {}, 0x1A2B, 0x41, "001A2B:", "41", 'A'},
      {"base address",
       {16, 6, ":", 0x8000, omHex, hmHex, '.', false},
       0x10,
       0x0A,
       "008010:",
       "0A",
       '.'},
      {"decimal offsets use N+2 digits when N>4",
       {16, 6, "|", 0, omDec, hmDec, '.', false},
       1234,
       7,
       "00001234|",
       "007",
       '.'},
      {"decimal offsets use N+1 digits when N<=4",
       {16, 4, ":", 0, omDec, hmHex, '.', false},
       12,
       0,
       "00012:",
       "00",
       '.'},
      {"octal", {16, 6, ":", 0, omOctal, hmOctal, '*', false}, 8, 0x1F, "00000010:", "037", '*'},
      {"binary data, all characters",
       {16, 6, ":", 0, omHex, hmBin, '.', true},
       0,
       0x05,
       "000000:",
       "00000101",
       '\x05'},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.Format.OffsetText(c.Offset), c.OffsetText) << c.Name;
    EXPECT_EQ(c.Format.DataText(c.Byte), c.DataText) << c.Name;
    EXPECT_EQ(c.Format.CharText(c.Byte), c.Char) << c.Name;
  }
  THexCellFormat octal;
  octal.OffsetMode = omOctal;
  EXPECT_EQ(octal.OffsetText(8, true), "00000010:") << "8 digits in print";
}

TEST(HexCells, CopyDumpTakesWholeRows) {
  TXHexEdit e;
  const char text[] = "ABCDEFGHIJ\x01";
  e.NewData("d", 10);
  std::memcpy(e.Data(), text, 11);
  THexCellFormat f;
  f.BytesPerLine = 4;
  e.SetSelection(true, 4, 4); // one byte at the start of a row dumps that row
  EXPECT_EQ(CopyDump(e, f), "000004: 45 46 47 48  EFGH");
  e.SetSelection(true, 9, 3); // reversed; the last row is short
  EXPECT_EQ(CopyDump(e, f), "000000: 41 42 43 44  ABCD\r\n"
                            "000004: 45 46 47 48  EFGH\r\n"
                            "000008: 49 4A 01     IJ. ");
  f.HexMode = hmDec;
  f.BytesPerLine = 2;
  e.SetSelection(true, 10, 10);
  EXPECT_EQ(CopyDump(e, f), "00000A: 001      . ");
  e.SetSelection(false, 0, 0);
  EXPECT_EQ(CopyDump(e, f), "");
}

} // namespace

namespace {

TEST(HexCells, CyclingCommands) {
  const std::pair<int, int> perLine[] = {{2, 4}, {4, 8}, {8, 16}, {16, 2}, {3, 2}, {0, 2}};
  for (const auto& [from, to] : perLine)
    EXPECT_EQ(NextBytesPerLine(from), to) << from;
  EXPECT_EQ(NextOffsetMode(NextOffsetMode(NextOffsetMode(omHex))), omHex);
  EXPECT_EQ(NextOffsetMode(omHex), omDec);
  THexMode m = hmHex;
  std::vector<THexMode> seen;
  for (int i = 0; i < 4; ++i)
    seen.push_back(m = NextHexMode(m));
  EXPECT_EQ(seen, (std::vector<THexMode>{hmDec, hmOctal, hmBin, hmHex}));
}

} // namespace
