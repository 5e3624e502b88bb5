#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "devices/configreg.h"
#include "devices/devbase.h"

namespace {

using Strings = std::vector<std::string>;

TConfigImage Image(std::uint8_t b0, std::uint8_t b1 = 0, std::uint8_t b2 = 0) {
  TConfigImage image{};
  image[0] = b0;
  image[1] = b1;
  image[2] = b2;
  return image;
}

int RowOf(const TConfigReg& reg, const std::string& key) {
  for (std::size_t i = 0; i < reg.Rows().size(); ++i)
    if (reg.Rows()[i].Key == key) return static_cast<int>(i);
  return -1;
}

TEST(ConfigReg, SplitsCommaText) {
  const struct {
    const char* Text;
    Strings Items;
  } cases[] = {
      {"", {}},
      {"On,Off", {"On", "Off"}},
      {"  On , Off", {"On", "Off"}},
      {"Not Supported", {"Not", "Supported"}}, // blanks separate too
      {R"(LP,"EC I/O",HS)", {"LP", "EC I/O", "HS"}},
      {R"("RA5 as digital I/O, MCLR tied to VDD","RA5 as MCLR")",
       {"RA5 as digital I/O, MCLR tied to VDD", "RA5 as MCLR"}},
      {R"("say ""hi""",x)", {R"(say "hi")", "x"}},
      {"a,", {"a", ""}},
      {"a,,b", {"a", "", "b"}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SplitCommaText(c.Text), c.Items) << c.Text;
}

TEST(ConfigReg, LayoutsHaveTheirTitlesCountsAndAddresses) {
  const struct {
    const char* Title;
    int Count;
    std::int32_t Address; // of the first item
  } expected[TConfigReg::LayoutCount] = {
      {"Config Register", 4, 0x103F},
      {"Config Register", 7, 0x3F},
      {"Config Register", 8, 0x3F},
      {"Config Register", 6, 0x103F},
      {"Config Register", 8, 0x3F},
      {"Config Register", 8, 0x3F},
      {"Config Register", 6, 0x3F},
      {"Config Register", 8, 0x3FE},
      {"Lock Bits", 2, 0},
      {"Lock Bits", 3, 0},
      {"Lock Bits", 6, 0},
      {"Fuse Bits", 1, 0},
      {"Fuse Bits", 5, 0},
      {"Fuse Bits", 1, 0},
      {"Fuse Bits", 5, 0},
      {"Fuse Bits", 1, 0},
      {"Fuse Bits", 1, 0},
      {"Fuse Bits", 8, 0},
      {"Fuse Bits", 6, 0},
      {"Fuse Bits", 16, 0},
      {"Fuse Bits", 16, 0},
      {"Fuse Bits", 3, 0},
      {"Fuse Bits", 18, 0},
      {"Fuse Bits", 7, 0},
      {"Fuse Bits", 9, 0},
      {"Fuse Bits", 12, 0},
      {"Lock Bits", 3, 0},
      {"User Fuses", 4, 0},
      {"Lock Bits", 3, 0},
      {"Configuration Bits", 29, 0x300001},
      {"Configuration Bits", 11, 0x400E},
      {"Configuration Bits", 8, 0x400E},
      {"Configuration Bits", 8, 0x400E},
      {"Configuration Bits", 8, 0x400E},
      {"Configuration Bits", 5, 0x400E},
      {"Configuration Bits", 4, 0x400E},
      {"Configuration Bits", 7, 0x400E},
      {"Configuration Bits", 8, 0x400E},
      {"Configuration Bits", 8, 0x400E},
      {"Configuration Bits", 4, 0x7FE},
      {"Configuration Bits", 8, 0x400E},
      {"Configuration Bits", 8, 0x400E},
      {"Fuse Bits", 20, 0},
      {"Fuse Bits", 17, 0},
      {"Lock Bits", 2, 0},
      {"Fuse Bits", 16, 0},
      {"Fuse Bits", 16, 0},
  };
  TConfigReg reg;
  for (int n = 1; n <= TConfigReg::LayoutCount; ++n) {
    const TConfig* layout = reg.Layout(n);
    ASSERT_NE(layout, nullptr) << n;
    const auto& e = expected[n - 1];
    EXPECT_EQ(layout->Title, e.Title) << n;
    EXPECT_EQ(layout->Count, e.Count) << n;
    EXPECT_EQ(static_cast<int>(layout->Items.size()), layout->Count) << n;
    EXPECT_EQ(layout->Items.front().Address, e.Address) << n;
    // Every field's code fits its choices, so a read always lands on one.
    ASSERT_TRUE(reg.SelectLayout(n));
    for (std::size_t i = 0; i < layout->Items.size(); ++i) {
      const TConfigItems& item = layout->Items[i];
      const int codes = item.Kind == 1 || item.Kind == 5 ? 8 : item.Mask + 1;
      EXPECT_EQ(static_cast<int>(reg.Rows()[i].Choices.size()), codes) << n << " " << item.Name;
    }
  }
}

TEST(ConfigReg, RowsTakeNamesChoicesAndTheZeroMaskRule) {
  TConfigReg reg;
  EXPECT_EQ(reg.Layout(9)->Items[0].Mask, 0); // as the table gives it
  ASSERT_TRUE(reg.SelectLayout(9));
  EXPECT_EQ(reg.Layout(9)->Items[0].Mask, 1); // stored once shown
  ASSERT_EQ(reg.Rows().size(), 2u);
  EXPECT_EQ(reg.Rows()[0].Key, "LB1");
  EXPECT_EQ(reg.Rows()[0].Choices, (Strings{"False", "True"}));
  EXPECT_EQ(reg.Rows()[0].Index, -1);

  ASSERT_TRUE(reg.SelectLayout(31));
  EXPECT_EQ(reg.Rows()[RowOf(reg, "MCLR Select Bit")].Choices,
            (Strings{"RA5 as digital I/O, MCLR tied to VDD", "RA5 as MCLR"}));

  // Layout 39 offers the same eight oscillator choices as 38.
  const Strings eight = {"LP",        "XT",           "HS",     "EC I/O",
                         "INTRC I/O", "INTRC CLKOUT", "ER I/O", "ER CLKOUT"};
  for (int layout : {38, 39}) {
    ASSERT_TRUE(reg.SelectLayout(layout));
    EXPECT_EQ(reg.Rows()[RowOf(reg, "Oscilator")].Choices, eight) << layout;
  }
}

TEST(ConfigReg, ShowImageReadsEachKind) {
  const struct {
    int Layout;
    const char* Key;
    TConfigImage Image;
    const char* Shown;
  } cases[] = {
      {9, "LB1", Image(0x02), "True"}, // lock bits 1 and 2 of byte 0
      {9, "LB2", Image(0x02), "False"},
      {9, "LB1", Image(0x04), "False"},
      {9, "LB2", Image(0x04), "True"},
      {10, "LB1", Image(0x80), "True"},
      {20, "RSTDISBL", Image(0, 0x80), "True"},
      {23, "M103C", Image(0, 0, 0x02), "True"},
      {30, "Watchdog Postscaler", Image(0x0A), "1:32"},
      {30, "Brown Out Voltage", Image(0x0C), "2.0V"},
      {31, "Oscilator", Image(0x12), "EXTRC-RA6 is Port I/O"}, // kind 1: 2 + 4
      {31, "Oscilator", Image(0x03), "EXTCLK-RA6 is Port I/O"},
      {31, "Flash Program Write", Image(0, 0x04), "0000h-01FFh Write Protected"},
      {32, "Code Protect", Image(0x20), "1F00h-1FFFh"},
      {36, "Code Protect", Image(0x10), "Off"},
      {38, "Oscilator", Image(0x11), "INTRC CLKOUT"}, // kind 5: 17 - 12
      {38, "Oscilator", Image(0x02), "HS"},
      {38, "Code Protect", Image(0, 0x08), "0400h-07FFh"},
      {39, "Oscilator", Image(0x13), "ER CLKOUT"},
      {39, "Code Protect", Image(0, 0x20), "Off"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.Layout) + " " + c.Key);
    TConfigReg reg;
    ASSERT_TRUE(reg.SelectLayout(c.Layout));
    int changed = 0;
    reg.OnRowsChanged = [&] { ++changed; };
    reg.SetImage(c.Image);
    reg.ShowImage();
    EXPECT_EQ(reg.Rows()[RowOf(reg, c.Key)].Value(), c.Shown);
    EXPECT_EQ(changed, 1);
  }
}

TEST(ConfigReg, ApplyChoicesWritesEachKind) {
  const struct {
    int Layout;
    const char* Key;
    const char* Choice;
    TConfigImage Before;
    TConfigImage After;
  } cases[] = {
      // kind 0: only the field's bits change
      {9, "LB2", "False", Image(0xFF), Image(0xFB)},
      {30, "Brown Out Voltage", "2.7V", Image(0xFF), Image(0xFB)},
      {20, "BOOTSZ1", "False", Image(0xFF, 0xFF), Image(0xFF, 0xFB)},
      {44, "SELFPRGEN", "True", Image(0, 0, 0), Image(0, 0, 0x01)},
      // kind 1: low two bits and bit 4 of byte 0
      {31, "Oscilator", "EXTRC-RA6 is Port I/O", Image(0xFF), Image(0xFE)},
      {31, "Oscilator", "XT", Image(0xFF), Image(0xED)},
      // kind 2: both copies of the code-protection field
      {32, "Code Protect", "1000h-1FFFh", Image(0xFF, 0xFF), Image(0xDF, 0xDF)},
      // kind 3: every code-protection bit of the word at once
      {36, "Code Protect", "Off", Image(0x00, 0x00), Image(0xF0, 0x3F)},
      {36, "Code Protect", "On", Image(0xFF, 0xFF), Image(0x0F, 0xC0)},
      // kind 4: two copies in byte 1
      {38, "Code Protect", "0400h-07FFh", Image(0xFF, 0xFF), Image(0xFF, 0x2B)},
      // kind 5: INTRC CLKOUT sets bit 0, clears bit 1 and sets bit 4
      {38, "Oscilator", "INTRC CLKOUT", Image(0x02), Image(0x11)},
      {38, "Oscilator", "INTRC CLKOUT", Image(0xEE), Image(0xFD)},
      {39, "Oscilator", "EC I/O", Image(0x10), Image(0x03)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.Layout) + " " + c.Key + " := " + c.Choice);
    TConfigReg reg;
    ASSERT_TRUE(reg.SelectLayout(c.Layout));
    reg.SetImage(c.Before);
    // Only the row under test has a choice; the others leave the image alone.
    ASSERT_TRUE(reg.SetChoice(RowOf(reg, c.Key), c.Choice));
    reg.ApplyChoices();
    EXPECT_EQ(reg.GetImage(), c.After);
  }
}

TEST(ConfigReg, EveryChoiceReadsBackAsWritten) {
  const struct {
    int Layout;
    const char* Key;
  } fields[] = {{30, "Watchdog Postscaler"}, {31, "Oscilator"},           {32, "Code Protect"},
                {37, "Oscilator"},           {38, "Oscilator"},           {38, "Code Protect"},
                {39, "Oscilator"},           {41, "Flash Program Write"}, {43, "BODLEVEL2"}};
  for (const auto& f : fields) {
    TConfigReg reg;
    ASSERT_TRUE(reg.SelectLayout(f.Layout));
    const int row = RowOf(reg, f.Key);
    const int choices = static_cast<int>(reg.Rows()[row].Choices.size());
    for (std::uint8_t fill : {0x00, 0xFF}) {
      for (int c = 0; c < choices; ++c) {
        reg.SetImage(Image(fill, fill, fill));
        for (auto& r : reg.Rows())
          r.Index = -1; // only this field is written
        reg.Rows()[row].Index = c;
        reg.ApplyChoices();
        reg.Rows()[row].Index = -1;
        reg.ShowImage();
        EXPECT_EQ(reg.Rows()[row].Index, c) << f.Layout << " " << f.Key << " fill " << int(fill);
      }
    }
  }
}

TEST(ConfigReg, RowsWithoutAValidChoiceChangeNothing) {
  TConfigReg reg;
  ASSERT_TRUE(reg.SelectLayout(30));
  const TConfigImage image = Image(0x5A, 0xA5, 0x3C);
  reg.SetImage(image);
  // Never shown: no row has a choice yet (writing "index 255" would set every bit).
  reg.ApplyChoices();
  EXPECT_EQ(reg.GetImage(), image);

  const int row = RowOf(reg, "Brown Out Voltage");
  EXPECT_FALSE(reg.SetChoice(row, "3.3V"));
  EXPECT_FALSE(reg.SetChoice(99, "On"));
  EXPECT_EQ(reg.Rows()[row].Index, -1);
  reg.Rows()[row].Index = 255;
  reg.ApplyChoices();
  EXPECT_EQ(reg.GetImage(), image);
}

TEST(ConfigReg, RepeatedChoiceTextsKeepTheValueShown) {
  // Layout 34 offers "Not Supported" twice; re-applying the shown rows must
  // not turn the second into the first.
  TConfigReg reg;
  ASSERT_TRUE(reg.SelectLayout(34));
  const TConfigImage image = Image(0x20 | 0x0F, 0x20 | 0x01);
  reg.SetImage(image);
  reg.ShowImage();
  EXPECT_EQ(reg.Rows()[RowOf(reg, "Code Protect")].Index, 2);
  reg.ApplyChoices();
  EXPECT_EQ(reg.GetImage(), image);
}

TEST(ConfigReg, ImageIsOneLittleEndian128BitNumber) {
  TConfigItems across; // bit 7 of byte 0 and bit 0 of byte 1
  across.ByteIndex = 0;
  across.Bit = 7;
  across.Mask = 3;
  TConfigImage image{};
  TConfigReg::WriteItem(across, 3, image);
  EXPECT_EQ(image[0], 0x80);
  EXPECT_EQ(image[1], 0x01);
  EXPECT_EQ(TConfigReg::ReadItem(across, image), 3);

  TConfigItems top; // bits past 127 do not exist
  top.ByteIndex = 15;
  top.Bit = 6;
  top.Mask = 7;
  TConfigImage high{};
  TConfigReg::WriteItem(top, 7, high);
  TConfigImage expected{};
  expected[15] = 0xC0;
  EXPECT_EQ(high, expected);
  EXPECT_EQ(TConfigReg::ReadItem(top, high), 3);
}

TEST(ConfigReg, UsesByteFollowsTheCurrentLayout) {
  TConfigReg reg;
  EXPECT_FALSE(reg.UsesByte(0)); // nothing selected
  const struct {
    int Layout;
    bool Uses[4];
  } cases[] = {{9, {true, false, false, false}},
               {20, {true, true, false, false}},
               {23, {true, true, true, false}},
               {44, {true, true, true, false}}};
  for (const auto& c : cases) {
    ASSERT_TRUE(reg.SelectLayout(c.Layout));
    for (int b = 0; b < 4; ++b)
      EXPECT_EQ(reg.UsesByte(b), c.Uses[b]) << c.Layout << " byte " << b;
  }
}

TEST(ConfigReg, LayoutsOutsideTheTableDoNothing) {
  TConfigReg reg;
  ASSERT_TRUE(reg.SelectLayout(12));
  const auto rows = reg.Rows().size();
  for (int n : {0, -1, 48, 1000}) {
    EXPECT_EQ(reg.Layout(n), nullptr) << n;
    EXPECT_FALSE(reg.SelectLayout(n)) << n;
    EXPECT_EQ(reg.CurrentLayout(), 12);
    EXPECT_EQ(reg.Rows().size(), rows);
  }

  int shown = 0;
  EXPECT_EQ(ShowConfigRegDialog(5, {}, {}), TConfigReg::mrCancel); // no dialog installed
  SetConfigRegDialog([&](int, std::function<void()>, std::function<void()>) {
    ++shown;
    return TConfigReg::mrOk;
  });
  EXPECT_EQ(ShowConfigRegDialog(48, {}, {}), TConfigReg::mrCancel);
  EXPECT_EQ(ShowConfigRegDialog(0, {}, {}), TConfigReg::mrCancel);
  EXPECT_EQ(shown, 0);
  EXPECT_EQ(ShowConfigRegDialog(47, {}, {}), TConfigReg::mrOk);
  EXPECT_EQ(shown, 1);
  SetConfigRegDialog({});
}

} // namespace
