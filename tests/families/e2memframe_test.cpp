#include <gtest/gtest.h>

#include <functional>

#include "families/e2memframe.h"
#include "families/hc05bconframe.h"

namespace {

Te2memoryFrame Frame128() {
  Te2memoryFrame f;
  f.SetCapacities(128, 128);
  EXPECT_TRUE(f.SetRange(0x10, 0x7F));
  return f;
}

TEST(E2MemoryFrame, SetRangeAcceptsOnlySoundRanges) {
  struct TCase {
    int Start, End;
    bool Accepted;
  };
  const TCase cases[] = {
      {0, 0, true}, {0, 0x7F, true}, {5, 4, false}, {-1, 4, false}, {0, 0x80, false}};
  for (const TCase& c : cases) {
    Te2memoryFrame f = Frame128();
    EXPECT_EQ(f.SetRange(c.Start, c.End), c.Accepted) << c.Start << ".." << c.End;
    EXPECT_EQ(f.RangeStart, c.Accepted ? c.Start : 0x10);
    EXPECT_EQ(f.RangeEnd, c.Accepted ? c.End : 0x7F);
    EXPECT_EQ(f.EndText, HexText(f.RangeEnd));
  }
}

TEST(E2MemoryFrame, RangeEditsRejectWithABeepAndTheOldValue) {
  struct TCase {
    bool Start;
    const char* Text;
    bool Accepted;
    const char* Shown;
  };
  const TCase cases[] = {
      {false, "1G", false, "7F"},       {false, "80", false, "7F"}, {false, "", false, "7F"},
      {false, "7e", true, "7e"},        {true, "7F", true, "7F"},   {true, "80", false, "10"},
      {true, "FFFFFFFF", false, "10"}, // reads negative
      {true, "123456789", false, "10"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Text);
    Te2memoryFrame f = Frame128();
    int beeps = 0;
    f.OnBeep = [&beeps] { ++beeps; };
    const bool ok = c.Start ? f.StartEditChange(c.Text) : f.EndEditChange(c.Text);
    EXPECT_EQ(ok, c.Accepted);
    EXPECT_EQ(beeps, c.Accepted ? 0 : 1);
    EXPECT_EQ(c.Start ? f.StartText : f.EndText, c.Shown);
    EXPECT_EQ(f.SelectAllRequested, !c.Accepted);
  }
}

TEST(E2MemoryFrame, RegisterEditTakesOneByte) {
  Te2memoryFrame f;
  EXPECT_TRUE(f.RegisterEditChange("a5"));
  EXPECT_EQ(f.RegisterValue(), 0xA5);
  for (const char* bad : {"100", "x", ""})
    EXPECT_FALSE(f.RegisterEditChange(bad)) << bad;
  EXPECT_EQ(f.RegisterValue(), 0xA5);
  f.SetRegisterValue(0x0B);
  EXPECT_EQ(f.RegisterText, "0B");
}

TEST(ConnectionFrame, PresetsDifferOnlyInTheSupplyWindow) {
  THC05BConFrame1 c;
  const TPowerPreset five = c.PowerPreset;
  EXPECT_FLOAT_EQ(five.Volts[12], 1.0f);
  EXPECT_FLOAT_EQ(five.Volts[13], 2.0f);
  EXPECT_FLOAT_EQ(five.Volts[24], 4.0f);
  EXPECT_FLOAT_EQ(five.Volts[25], 5.25f);
  EXPECT_TRUE(five.StopOnError);
  c.SetPowerSupply(1);
  for (std::size_t i = 0; i < 24; ++i)
    EXPECT_FLOAT_EQ(c.PowerPreset.Volts[i], five.Volts[i]) << i;
  EXPECT_FLOAT_EQ(c.PowerPreset.Volts[24], 3.0f);
  EXPECT_FLOAT_EQ(c.PowerPreset.Volts[25], 3.7f);
  c.SetStopOnError(false);
  EXPECT_FALSE(c.PowerPreset.StopOnError);
  EXPECT_FLOAT_EQ(c.PowerPreset.Volts[25], 3.7f);
}

TEST(ConnectionFrame, PinNamesAndResults) {
  THC05BConFrame1 c;
  c.SetPinNames({"a", "b", "c", "d", "e", "f", "g", "h", "i"});
  EXPECT_EQ(c.PinTexts[4], "0V");
  EXPECT_EQ(c.PinTexts[0], "");
  TPinResults r{};
  r[0] = {0.0f, 0, 0}; // P1 not checked
  r[1] = {3.5f, 1, 1}; // P2 inside
  r[4] = {1.5f, 0, 2}; // P6 outside
  r[7] = {4.2f, 1, 1}; // P9
  c.ShowPinResults(r, true);
  EXPECT_EQ(c.PinTexts[0], "0.00V  N/A");
  EXPECT_EQ(c.PinTexts[1], "3.50V  OK");
  EXPECT_EQ(c.PinColours[1], TPinColour::Green);
  EXPECT_EQ(c.PinTexts[5], "1.50V  Bad");
  EXPECT_EQ(c.PinColours[5], TPinColour::Red);
  EXPECT_EQ(c.PinTexts[8], "4.20V  OK");
  EXPECT_EQ(c.PinTexts[4], "0V");
  c.ShowPinResults(r, false);
  EXPECT_EQ(c.PinTexts[5], "1.50V");
  EXPECT_EQ(c.PinColours[5], TPinColour::Black);
}

// A view mirrors the panels on OnChanged, also while a task runs: every
// mutator must announce itself, a refused entry too (its text was put back).
TEST(FrameModels, EveryMutatorAnnouncesTheChange) {
  struct TCase {
    const char* Name;
    std::function<void(Te2memoryFrame&, THC05BConFrame1&)> Mutate;
  };
  const TCase cases[] = {
      {"SetRange", [](Te2memoryFrame& f, THC05BConFrame1&) { f.SetRange(0, 1); }},
      {"ShowRange", [](Te2memoryFrame& f, THC05BConFrame1&) { f.ShowRange(); }},
      {"StartEditChange", [](Te2memoryFrame& f, THC05BConFrame1&) { f.StartEditChange("1"); }},
      {"StartEditChange refused",
       [](Te2memoryFrame& f, THC05BConFrame1&) { f.StartEditChange("1G"); }},
      {"EndEditChange", [](Te2memoryFrame& f, THC05BConFrame1&) { f.EndEditChange("7E"); }},
      {"EndEditChange refused", [](Te2memoryFrame& f, THC05BConFrame1&) { f.EndEditChange("80"); }},
      {"RegisterEditChange",
       [](Te2memoryFrame& f, THC05BConFrame1&) { f.RegisterEditChange("A5"); }},
      {"RegisterEditChange refused",
       [](Te2memoryFrame& f, THC05BConFrame1&) { f.RegisterEditChange("100"); }},
      {"SetRegisterValue", [](Te2memoryFrame& f, THC05BConFrame1&) { f.SetRegisterValue(3); }},
      {"SetCapacities", [](Te2memoryFrame& f, THC05BConFrame1&) { f.SetCapacities(256, 256); }},
      {"SetPowerSupply", [](Te2memoryFrame&, THC05BConFrame1& c) { c.SetPowerSupply(1); }},
      {"SetStopOnError", [](Te2memoryFrame&, THC05BConFrame1& c) { c.SetStopOnError(false); }},
      {"SetPinNames",
       [](Te2memoryFrame&, THC05BConFrame1& c) {
         c.SetPinNames({"a", "b", "c", "d", "e", "f", "g", "h", "i"});
       }},
      {"ShowPinResults",
       [](Te2memoryFrame&, THC05BConFrame1& c) { c.ShowPinResults(TPinResults{}, true); }},
  };
  for (const TCase& c : cases) {
    Te2memoryFrame f = Frame128();
    THC05BConFrame1 con;
    int changes = 0;
    f.OnChanged = con.OnChanged = [&changes] { ++changes; };
    c.Mutate(f, con);
    EXPECT_GT(changes, 0) << c.Name;
  }
}

} // namespace
