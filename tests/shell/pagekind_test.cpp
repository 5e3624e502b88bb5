#include <gtest/gtest.h>

#include "shell/pagekind.h"
#include "shell/windowtitle.h"

TEST(PageKind, ExtensionsChooseThePageKind) {
  struct {
    const char* Path;
    const char* Extension;
    TPageKind Kind;
  } cases[] = {
      {"/data/a.bin", ".bin", TPageKind::Programmer},
      {"/data/a.HEX", ".hex", TPageKind::Programmer},
      {"/data/noext", "", TPageKind::Programmer},
      {"/data/v1.2/noext", "", TPageKind::Programmer}, // a dot in a folder is no extension
      {"C:\\v1.2\\readme", "", TPageKind::Programmer},
      {"/data/notes.TXT", ".txt", TPageKind::Text},
      {"/data/doc.rtf", ".rtf", TPageKind::Text},
      {"/data/pins.Png", ".png", TPageKind::Image},
      {"/data/pins.jpg", ".jpg", TPageKind::Image},
      {"/data/pins.ico", ".ico", TPageKind::Image},
      {"/data/pins.jpeg", ".jpeg", TPageKind::Programmer}, // only the listed ones
      {"/data/s.ksc", ".ksc", TPageKind::Script},
      {"/data/s.KDS", ".kds", TPageKind::Script},
      {"/data/s.vb", ".vb", TPageKind::Script},
      {"/data/s.cpp", ".cpp", TPageKind::Script},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Path);
    EXPECT_EQ(LowerExtension(c.Path), c.Extension);
    EXPECT_EQ(PageKindForExtension(LowerExtension(c.Path)), c.Kind);
  }
}

TEST(PageKind, OpenDecisions) {
  struct {
    const char* Path;
    bool HasActive;
    TPageKind Active;
    bool SamePage;
    TOpenStep Step;
    TPageKind Kind;
  } cases[] = {
      {"a.KVP", true, TPageKind::Programmer, true, TOpenStep::Ignore, TPageKind::Programmer},
      {"a.ltf", false, TPageKind::Programmer, false, TOpenStep::Ignore, TPageKind::Programmer},
      {"a.bin", true, TPageKind::Programmer, true, TOpenStep::ReuseActive, TPageKind::Programmer},
      {"a.bin", true, TPageKind::Programmer, false, TOpenStep::NewPage, TPageKind::Programmer},
      {"a.bin", true, TPageKind::Text, true, TOpenStep::NewPage, TPageKind::Programmer},
      {"a.bin", false, TPageKind::Programmer, true, TOpenStep::NewPage, TPageKind::Programmer},
      {"a.txt", true, TPageKind::Programmer, true, TOpenStep::NewPage, TPageKind::Text},
      {"a.gif", true, TPageKind::Image, true, TOpenStep::NewPage, TPageKind::Image},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Path);
    auto d = DecideOpen(c.Path, c.HasActive, c.Active, c.SamePage);
    EXPECT_EQ(d.Step, c.Step);
    if (d.Step == TOpenStep::NewPage) {
      EXPECT_EQ(d.Kind, c.Kind);
    }
  }
}

TEST(WindowTitle, CaptionsAndPageNames) {
  EXPECT_EQ(BaseWindowTitle(), "Korvane Device Programmer v1.1  ");
  EXPECT_EQ(DocumentWindowTitle("data", false), "Korvane Device Programmer v1.1  - data");
  EXPECT_EQ(DocumentWindowTitle("data", true), "Korvane Device Programmer v1.1  - data [Modified]");
  TPageNamer namer;
  EXPECT_EQ(namer.NewPageName(), "Untited1");
  EXPECT_EQ(namer.NewPageName(), "Untited2");
}
