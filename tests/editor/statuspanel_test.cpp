#include <gtest/gtest.h>

#include <vector>

#include "editor/statuspanel.h"
#include "editor/xhexedit.h"

namespace {

class StatusPanel : public ::testing::Test {
protected:
  void SetUp() override {
    TStatusPanel::SizeMode = smHex;
    TStatusPanel::MonitorLength = mlBits8;
    TStatusPanel::MonitorOrder = boIntel;
    Editor.NewData("p", 0x1F);
    for (int i = 0; i < 0x20; ++i)
      Editor.Data()[i] = static_cast<uint8_t>(i);
  }
  void TearDown() override {
    TStatusPanel::SizeMode = smHex;
    TStatusPanel::MonitorLength = mlBits8;
    TStatusPanel::MonitorOrder = boIntel;
  }
  TXHexEdit Editor;
};

TEST_F(StatusPanel, TextsByNotation) {
  EXPECT_EQ(TStatusPanel::OffsetText(0x1A2B, omHex), "001A2B");
  EXPECT_EQ(TStatusPanel::OffsetText(1234, omDec), "00001234");
  EXPECT_EQ(TStatusPanel::OffsetText(8, omOctal), "00000010");
  EXPECT_EQ(TStatusPanel::DataText(0x0A, hmHex), "0A");
  EXPECT_EQ(TStatusPanel::DataText(7, hmDec), "007");
  EXPECT_EQ(TStatusPanel::DataText(8, hmOctal), "010");
  EXPECT_EQ(TStatusPanel::DataText(5, hmBin), "00000101");
  EXPECT_EQ(TStatusPanel::SizeText(2048, smHex), "000800h");
  EXPECT_EQ(TStatusPanel::SizeText(2048, smDec), "00002048");
  EXPECT_EQ(TStatusPanel::SizeText(2048, smOctal), "00004000o");
}

TEST_F(StatusPanel, MasksAndTheirQtForm) {
  struct {
    const char* Mask;
    const char* Qt;
  } const cases[] = {
      {TStatusPanel::OffsetMask(omHex), "xxxxxx\\h;_"},
      {TStatusPanel::OffsetMask(omDec), "00000000;_"},
      {TStatusPanel::OffsetMask(omOctal), "00000000\\o;_"},
      {TStatusPanel::DataMask(hmHex), "xx\\h;_"},
      {TStatusPanel::DataMask(hmDec), "000;_"},
      {TStatusPanel::DataMask(hmOctal), "000\\o;_"},
      {TStatusPanel::DataMask(hmBin), "00000000\\b;_"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TStatusPanel::QtInputMask(c.Mask), c.Qt) << c.Mask;
  EXPECT_STREQ(TStatusPanel::OffsetMask(omHex), "cccccch;0;_");
  EXPECT_STREQ(TStatusPanel::DataMask(hmBin), "99999999b;0;_");
}

TEST_F(StatusPanel, ParsesByNotation) {
  struct {
    const char* Text;
    TOffsetMode Mode;
    bool Ok;
    int32_t Offset;
  } const offsets[] = {
      {"1f", omHex, true, 0x1F},     {"00001Fh", omHex, true, 0x1F}, {"  10__", omHex, true, 0x10},
      {"G1", omHex, false, 0},       {"", omHex, false, 0},          {"0099", omDec, true, 99},
      {"9a", omDec, false, 0},       {"17o", omOctal, true, 15},     {"18", omOctal, false, 0},
      {"80000000", omHex, false, 0}, // beyond the offsets a buffer can have
  };
  for (const auto& c : offsets) {
    int32_t v = -1;
    EXPECT_EQ(TStatusPanel::ParseOffset(c.Text, c.Mode, v), c.Ok) << c.Text;
    if (c.Ok) {
      EXPECT_EQ(v, c.Offset) << c.Text;
    }
  }
  struct {
    const char* Text;
    THexMode Mode;
    bool Ok;
    uint8_t Value;
  } const data[] = {
      {"ff", hmHex, true, 0xFF},
      {"1G", hmHex, false, 0},
      {"255", hmDec, true, 255},
      {"256", hmDec, false, 0},
      {"377o", hmOctal, true, 255},
      {"400", hmOctal, false, 0},
      {"10000001b", hmBin, true, 0x81},
      {"12", hmBin, false, 0},
      // Only the last 32 characters count.
      {"1111111111111111111111111111111111111111111111111111111111111111", hmBin, false, 0},
      {"1111111100000000000000000000000000000001", hmBin, true, 1},
  };
  for (const auto& c : data) {
    uint8_t v = 0;
    EXPECT_EQ(TStatusPanel::ParseData(c.Text, c.Mode, v), c.Ok) << c.Text;
    if (c.Ok) {
      EXPECT_EQ(v, c.Value) << c.Text;
    }
  }
}

TEST_F(StatusPanel, TextsFollowTheCaretAndTheSharedModes) {
  Editor.SetCaretOffset(0x12);
  TStatusPanel::TTexts t = TStatusPanel::Texts(Editor, omHex);
  EXPECT_TRUE(t.HasData);
  EXPECT_EQ(t.Offset, "000012");
  EXPECT_EQ(t.Data, "12");
  EXPECT_EQ(t.Size, "000020h");
  EXPECT_EQ(t.Monitor, "18  18");
  TStatusPanel::CycleSizeMode();
  TStatusPanel::CycleMonitorLength();
  TStatusPanel::ToggleMonitorOrder();
  t = TStatusPanel::Texts(Editor, omDec);
  EXPECT_EQ(t.Offset, "00000018");
  EXPECT_EQ(t.Size, "00000032");
  EXPECT_EQ(t.Monitor, "4627  4627"); // 12h 13h, most significant first
  EXPECT_STREQ(TStatusPanel::MonitorLengthCaptionNow(), "16 bits");
  EXPECT_STREQ(TStatusPanel::MonitorOrderCaptionNow(), "Motorola");
  TStatusPanel::CycleSizeMode();
  TStatusPanel::CycleSizeMode();
  EXPECT_EQ(TStatusPanel::SizeMode, smHex);

  Editor.SetLastIndex(-1);
  t = TStatusPanel::Texts(Editor, omHex);
  EXPECT_FALSE(t.HasData);
  EXPECT_TRUE(t.Offset.empty());
}

TEST_F(StatusPanel, GoToSelectsTheByteAndClampsBeyondTheEnd) {
  EXPECT_TRUE(TStatusPanel::GoTo(Editor, "10", omHex));
  EXPECT_EQ(Editor.CaretOffset(), 0x10);
  int32_t first = 0, last = 0;
  ASSERT_TRUE(Editor.NormalisedSelection(first, last));
  EXPECT_EQ(first, 0x10);
  EXPECT_EQ(last, 0x10);

  EXPECT_TRUE(TStatusPanel::GoTo(Editor, "FFFF", omHex));
  EXPECT_EQ(Editor.CaretOffset(), Editor.DataSize());

  Editor.SetCaretOffset(3);
  EXPECT_FALSE(TStatusPanel::GoTo(Editor, "xyz", omHex));
  EXPECT_EQ(Editor.CaretOffset(), 3);
}

TEST_F(StatusPanel, EnteredDataIsNeitherAnUndoStepNorAModification) {
  Editor.SetCaretOffset(4);
  ASSERT_TRUE(TStatusPanel::EnterData(Editor, "AB"));
  EXPECT_EQ(Editor.Data()[4], 0xAB);
  EXPECT_FALSE(Editor.Modified());
  EXPECT_FALSE(Editor.CanUndo());
  EXPECT_EQ(Editor.CaretOffset(), 5);
  int32_t first = 0, last = 0;
  ASSERT_TRUE(Editor.NormalisedSelection(first, last));
  EXPECT_EQ(first, 5);

  // Rejected entries change nothing.
  const std::vector<const char*> rejected = {"", "G0"};
  for (const char* text : rejected) {
    EXPECT_FALSE(TStatusPanel::EnterData(Editor, text)) << text;
    EXPECT_EQ(Editor.Data()[5], 5);
    EXPECT_EQ(Editor.CaretOffset(), 5);
  }
  Editor.SetHexMode(hmDec);
  EXPECT_FALSE(TStatusPanel::EnterData(Editor, "300"));
  EXPECT_EQ(Editor.Data()[5], 5);
  Editor.SetHexMode(hmHex);

  // The caret after the last byte has nowhere to store to.
  Editor.SetCaretOffset(Editor.DataSize());
  EXPECT_FALSE(TStatusPanel::EnterData(Editor, "11"));
  EXPECT_EQ(Editor.CaretOffset(), Editor.DataSize());
}

} // namespace
