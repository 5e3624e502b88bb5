#include <gtest/gtest.h>

#include "shell/docklayout.h"
#include "shell/hexeditopt.h"
#include "shell/programmeropt.h"
#include "shell/recfiles.h"
#include "shell/scriptopt.h"

namespace {

TEST(SettingsValues, DecimalTextOrDefault) {
  struct Case {
    const char* Stored; // nullptr: value missing
    int Expected;
  } cases[] = {
      {nullptr, 7},
      {"42", 42},
      {"-3", -3},
      {"+5", 5},
      {"", 7},
      {"12a", 7},
      {"0x10", 7},
      {" 1", 7},
      {"2147483648", 7},
      {"-2147483648", -2147483647 - 1},
      {"99999999999999999999", 7},
  };
  for (const auto& c : cases) {
    TMemorySettings store;
    if (c.Stored) store.WriteString("S", "V", c.Stored);
    EXPECT_EQ(ReadInt(store, "S", "V", 7), c.Expected) << (c.Stored ? c.Stored : "(missing)");
  }
}

TEST(SettingsValues, BooleansAndColoursAreDecimalStrings) {
  TMemorySettings store;
  WriteBool(store, "S", "T", true);
  WriteBool(store, "S", "F", false);
  WriteColor(store, "S", "C", 0xFFEEDDu);
  EXPECT_EQ(*store.ReadString("S", "T"), "1");
  EXPECT_EQ(*store.ReadString("S", "F"), "0");
  EXPECT_EQ(*store.ReadString("S", "C"), std::to_string(0xFFEEDD));
  // A colour written as a signed 32-bit number still reads back.
  store.WriteString("S", "N", "-16777216");
  EXPECT_EQ(ReadColor(store, "S", "N", 1), 0xFF000000u);
  store.WriteString("S", "B", "red");
  EXPECT_EQ(ReadColor(store, "S", "B", 5), 5u);
}

TEST(SettingsValues, HexTextRejectsAnyBadPair) {
  EXPECT_EQ(BytesToHex({0x00, 0xAB, 0x7F}), "00AB7F");
  EXPECT_EQ(HexToBytes("00ab7F"), (std::vector<std::uint8_t>{0x00, 0xAB, 0x7F}));
  EXPECT_EQ(HexToBytes(""), std::vector<std::uint8_t>{});
  for (const char* bad : {"0", "0G", "12 4", "AB-C"})
    EXPECT_FALSE(HexToBytes(bad)) << bad;
}

TEST(HexEditOptions, FreshStoreGivesTheDefaults) {
  SystemColors() = TSystemColors{0x111111, 0x222222, 0x333333, 0x444444};
  THexEditOptions o;
  o.BytePerLine = 99;
  o.Load(TMemorySettings());
  EXPECT_EQ(o.BytePerLine, 16);
  EXPECT_EQ(o.HexGroup, 1);
  EXPECT_EQ(o.UndoLimit, 25);
  EXPECT_FALSE(o.TextAllChars);
  EXPECT_FALSE(o.OpenFileInSamePage);
  EXPECT_EQ(o.ModifiedColor, 255u);
  EXPECT_EQ(o.BGColor, 0x222222u);
  EXPECT_EQ(o.HighLightColor, 0x333333u);
  EXPECT_EQ(o.HighLightTextColor, 0x444444u);
  for (const auto* f : {&o.OffsetFont, &o.HexFont, &o.TextFont})
    EXPECT_EQ(*f, (TFontOption{"MS Sans Serif", 8, 1, 0x111111}));
  EXPECT_EQ(LoadSplitterPos(TMemorySettings()), 150);
  SystemColors() = TSystemColors();
}

TEST(HexEditOptions, RoundTripUnderTheSectionsValueNames) {
  THexEditOptions o;
  o.OffsetFont = {"Mono A", 9, 0, 1};
  o.HexFont = {"Mono B", 10, 2, 2};
  o.TextFont = {"Mono C", 11, 3, 3};
  o.BGColor = 4;
  o.BytePerLine = 32;
  o.HighLightColor = 5;
  o.HighLightTextColor = 6;
  o.HexGroup = 4;
  o.UndoLimit = 100;
  o.TextAllChars = true;
  o.ModifiedColor = 7;
  o.OpenFileInSamePage = true;
  TMemorySettings store;
  o.Save(store);
  SaveSplitterPos(store, 321);

  const char* names[] = {"UndoLimit",          "BGColor",        "HighLightColor",
                         "HighLightTextColor", "TextAllChars",   "BytePerLine",
                         "HexGroup",           "OffsetFontName", "HexFontSize",
                         "TextFontCharset",    "TextFontColor",  "ModifiedColor",
                         "OpenFileInSamePage", "SplitterPos"};
  for (const char* n : names)
    EXPECT_TRUE(store.ReadString("HexEditor", n)) << n;
  EXPECT_EQ(*store.ReadString("HexEditor", "TextAllChars"), "1");

  THexEditOptions back;
  back.Load(store);
  EXPECT_EQ(back, o);
  EXPECT_EQ(LoadSplitterPos(store), 321);
}

TEST(ProgrammerAndScriptOptions, DefaultsAndRoundTrip) {
  ProgramFolder() = "/opt/kvprog/";
  TScriptOptions fresh;
  EXPECT_EQ(fresh.DevScriptSearchPath, "./DeviceScripts");
  EXPECT_EQ(fresh.Font.Name, "Courier New");
  EXPECT_EQ(fresh.Font.Size, 10);
  TScriptOptions loaded;
  loaded.Load(TMemorySettings());
  EXPECT_EQ(loaded.DevScriptSearchPath, "/opt/kvprog/DeviceScripts");

  TProgrammerOptions p;
  p.Load(TMemorySettings());
  EXPECT_TRUE(p.ProgramConfirmation);
  EXPECT_FALSE(p.ProgramModifiedOnlyDef);
  EXPECT_EQ(p.UpdateUrl, TProgrammerOptions::DefaultUpdateUrl);

  TMemorySettings store;
  p.ProgramConfirmation = false;
  p.ProgramModifiedOnlyDef = true;
  p.UpdateUrl = "http://example.org/u.txt";
  p.Save(store);
  loaded.Font = {"Mono", 12, 0, 0x123456};
  loaded.DevScriptSearchPath = "/home/u/scripts";
  loaded.Save(store);
  EXPECT_EQ(*store.ReadString("Programmer", "ProgramConfirmation"), "0");
  EXPECT_EQ(*store.ReadString("ScriptEditor", "FontName"), "Mono");

  TProgrammerOptions p2;
  p2.Load(store);
  EXPECT_EQ(p2, p);
  TScriptOptions s2;
  s2.Load(store);
  EXPECT_EQ(s2, loaded);
  ProgramFolder() = "./";
}

TEST(DockLayout, MissingSectionReportsNoLayoutAndReadsDefaults) {
  TDockLayout l;
  l.Docked = false;
  EXPECT_FALSE(l.Load(TMemorySettings(), "MsgsPanel", 3));
  EXPECT_TRUE(l.Docked);
  EXPECT_EQ(l.DockHost, 1);
  EXPECT_EQ(l.Width, 150);
  EXPECT_EQ(l.Top, 200);
  EXPECT_TRUE(l.Visible);
}

TEST(DockLayout, DockedLeftAndFloatingComeBack) {
  struct Case {
    TDockLayout Saved;
    int ExpectedHost; // after reading back
  } cases[] = {
      {{true, 1, 120, 300, 0, 0, true, 1}, 1},    // the left site
      {{true, 3, 100, 800, 0, 0, false, 0}, 3},   // bottom, hidden
      {{false, 2, 90, 250, 40, 60, true, {}}, 1}, // floating: Dock Host written as 0
  };
  for (const auto& c : cases) {
    TMemorySettings store;
    c.Saved.Save(store, "MsgsPanel");
    TDockLayout back;
    ASSERT_TRUE(back.Load(store, "MsgsPanel", 3));
    EXPECT_EQ(back.Docked, c.Saved.Docked);
    EXPECT_EQ(back.DockHost, c.ExpectedHost);
    EXPECT_EQ(back.Height, c.Saved.Height);
    EXPECT_EQ(back.Width, c.Saved.Width);
    EXPECT_EQ(back.Top, c.Saved.Top);
    EXPECT_EQ(back.Left, c.Saved.Left);
    EXPECT_EQ(back.Visible, c.Saved.Visible);
    EXPECT_EQ(back.Orientation, c.Saved.Orientation);
  }
}

TEST(DockLayout, DockHostIsClampedToTheSites) {
  for (auto [stored, sites, expected] : {std::tuple{"9", 3, 3}, {"-2", 3, 1}, {"2", 1, 1}}) {
    TMemorySettings store;
    store.WriteString("EditToolBar", "Dock Host", stored);
    TDockLayout l;
    l.Load(store, "EditToolBar", sites);
    EXPECT_EQ(l.DockHost, expected) << stored;
  }
}

TEST(DockSiteLayout, UndecodableDataIsDroppedButTheSizeKept) {
  TMemorySettings store;
  TDockSiteLayout site{170, 0, std::vector<std::uint8_t>{1, 2, 0xFE}};
  site.Save(store, "Left");
  EXPECT_EQ(*store.ReadString("Dock Sites", "Left Data"), "0102FE");
  TDockSiteLayout back;
  back.Load(store, "Left");
  EXPECT_EQ(back.Width, 170);
  EXPECT_EQ(back.Height, 0);
  EXPECT_EQ(back.Data, site.Data);

  store.WriteString("Dock Sites", "Left Data", "0102F");
  back.Load(store, "Left");
  EXPECT_FALSE(back.Data);
  EXPECT_EQ(back.Width, 170);
  back.Load(store, "Right");
  EXPECT_EQ(back.Width, 200);
  EXPECT_EQ(back.Height, 200);
}

TEST(WindowRect, SixteenLittleEndianBytes) {
  TMemorySettings store;
  EXPECT_FALSE(TWindowRect::Load(store));
  TWindowRect r{-8, 10, 1032, 778};
  r.Save(store);
  auto bytes = *store.ReadBinary("", "HexWindow");
  ASSERT_EQ(bytes.size(), 16u);
  EXPECT_EQ(bytes[0], 0xF8);
  EXPECT_EQ(bytes[3], 0xFF);
  EXPECT_EQ(bytes[4], 10);
  auto back = TWindowRect::Load(store);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->Width(), 1040);
  EXPECT_EQ(back->Height(), 768);
  store.WriteBinary("", "HexWindow", {1, 2, 3});
  EXPECT_FALSE(TWindowRect::Load(store));
}

TEST(RecentFiles, NewestFirstAtMostSixCaseSensitive) {
  TRecentFiles r;
  EXPECT_EQ(r.MenuCaptions(), std::vector<std::string>{"&Empty"});
  int changes = 0;
  r.OnChange = [&] { ++changes; };
  for (const char* p : {"/a", "/b", "/a"})
    r.Add(p);
  EXPECT_EQ(r.Items(), (std::vector<std::string>{"/a", "/b"}));
  r.Add("/A");
  EXPECT_EQ(r.Items(), (std::vector<std::string>{"/A", "/a", "/b"}));
  for (const char* p : {"/c", "/d", "/e", "/f"})
    r.Add(p);
  EXPECT_EQ(r.Items(), (std::vector<std::string>{"/f", "/e", "/d", "/c", "/A", "/a"}));
  EXPECT_EQ(changes, 8);
  EXPECT_EQ(r.MenuCaptions(), r.Items());

  std::string clicked;
  r.OnClick = [&](const std::string& p) { clicked = p; };
  r.Click(2);
  EXPECT_EQ(clicked, "/d");
  r.Click(99); // no such entry: nothing happens
  EXPECT_EQ(clicked, "/d");
}

TEST(RecentFiles, SaveAndLoadKeepTheOrder) {
  TMemorySettings store;
  store.WriteString("Recent File List", "File9", "/stale"); // dropped by the rewrite
  TRecentFiles r;
  for (const char* p : {"/1", "/2", "/3"})
    r.Add(p);
  r.Save(store);
  EXPECT_EQ(*store.ReadString("Recent File List", "File0"), "/3");
  EXPECT_FALSE(store.ReadString("Recent File List", "File9"));

  // Gaps and numbers past 9 keep their numeric order; foreign values are ignored.
  store.WriteString("Recent File List", "File10", "/ten");
  store.WriteString("Recent File List", "Other", "/x");
  TRecentFiles back;
  back.Load(store);
  EXPECT_EQ(back.Items(), (std::vector<std::string>{"/3", "/2", "/1", "/ten"}));
}

} // namespace
