#include <gtest/gtest.h>

#include "shell/appversion.h"
#include "shell/checkforupdate.h"

namespace {

TFileInfo Running(TVersion v) {
  TFileInfo info;
  info.Version = v;
  info.Date = "01.02.2026";
  info.Url = "https://www.morlisk.example/update.txt";
  return info;
}

std::string Entry(const std::string& ver) {
  return "[other]<ver>9.9.9.9</ver>[/other]\r\n[kvsp]\r\n<ver>" + ver +
         "</ver>\r\n<date>05.06.2026</date>\r\n<url> https://www.morlisk.example/dl </url>\r\n"
         "[/kvsp]\r\n";
}

TEST(UpdateCheck, OutcomesAndLines) {
  struct Case {
    const char* Name;
    TVersion Program;
    bool Fetched;
    std::string Body;
    TUpdateCheck::TOutcome Outcome;
    std::vector<std::string> Lines;
  } cases[] = {
      {"same version",
       {1, 1, 0, 0},
       true,
       Entry("1.1.0.0"),
       TUpdateCheck::ucUpToDate,
       {"Connecting to update server... OK",
        "Current Version:", "v1.1.0.0, Release Date: 01.02.2026",
        "Your Korvane Device Programmer software is up to date"}},
      {"newer release",
       {1, 1, 0, 0},
       true,
       Entry("1.1.5.0"),
       TUpdateCheck::ucNewVersion,
       {"Connecting to update server... OK",
        "Current Version:", "v1.1.0.0, Release Date: 01.02.2026",
        "New Version:", "v1.1.5.0, Release Date: 05.06.2026"}},
      // Compared in order: a lower minor with a higher release is older.
      {"older with higher release",
       {1, 2, 0, 0},
       true,
       Entry("1.1.5.0"),
       TUpdateCheck::ucUpToDate,
       {"Connecting to update server... OK",
        "Current Version:", "v1.2.0.0, Release Date: 01.02.2026",
        "Your Korvane Device Programmer software is up to date"}},
      {"no entry",
       {1, 1, 0, 0},
       true,
       "[other]<ver>2.0.0.0</ver>[/other]",
       TUpdateCheck::ucNoInformation,
       {"Connecting to update server... OK",
        "Current Version:", "v1.1.0.0, Release Date: 01.02.2026", "Can't Find Update Information"}},
      {"no closing tag",
       {1, 1, 0, 0},
       true,
       "[kvsp]<ver>2.0.0.0</ver>",
       TUpdateCheck::ucNoInformation,
       {}},
      {"empty version", {1, 1, 0, 0}, true, Entry(""), TUpdateCheck::ucNoInformation, {}},
      {"two numbers",
       {1, 1, 0, 0},
       true,
       Entry("1.1"),
       TUpdateCheck::ucFailed,
       {"Connecting to update server... OK",
        "Current Version:", "v1.1.0.0, Release Date: 01.02.2026 Failed", "Try again later"}},
      {"network failure",
       {1, 1, 0, 0},
       false,
       "",
       TUpdateCheck::ucFailed,
       {"Connecting to update server... Failed", "Try again later"}},
  };
  for (const auto& c : cases) {
    TUpdateCheck check(Running(c.Program));
    ASSERT_TRUE(check.Start()) << c.Name;
    EXPECT_EQ(check.Lines(), std::vector<std::string>{"Connecting to update server..."});
    EXPECT_EQ(check.Finish(c.Fetched, c.Body), c.Outcome) << c.Name;
    if (!c.Lines.empty()) {
      EXPECT_EQ(check.Lines(), c.Lines) << c.Name;
    }
  }
}

TEST(UpdateCheck, NewVersionCarriesItsAddressAndARerunStartsClean) {
  TUpdateCheck check(Running({1, 1, 0, 0}));
  check.Start();
  ASSERT_EQ(check.Finish(true, Entry("2.0.0.0")), TUpdateCheck::ucNewVersion);
  EXPECT_EQ(check.NewVersion().Url, "https://www.morlisk.example/dl");
  EXPECT_EQ(check.NewVersion().Date, "05.06.2026");
  check.Start();
  EXPECT_EQ(check.Lines().size(), 1u);
  EXPECT_EQ(check.Outcome(), TUpdateCheck::ucNone);
  EXPECT_TRUE(check.NewVersion().Url.empty());
}

TEST(UpdateCheck, OnlyWebAddressesAreFetched) {
  TFileInfo info = Running({1, 1, 0, 0});
  info.Url = "file:///etc/passwd";
  TUpdateCheck check(info);
  EXPECT_FALSE(check.Start());
  EXPECT_EQ(check.Lines(),
            (std::vector<std::string>{"Connecting to update server... Failed", "Try again later"}));
}

TEST(UpdateCheck, WebAddresses) {
  struct Case {
    const char* Url;
    bool Ok;
  } cases[] = {
      {"http://a.example/x", true},
      {"HTTPS://a.example", true},
      {"https://", false},
      {"https:///path", false},
      {"ftp://a.example", false},
      {"file:///tmp/x", false},
      {"javascript:alert(1)", false},
      {"https://a.example/x y", false},
      {"https://a.example/\n", false},
      {"", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(IsWebAddress(c.Url), c.Ok) << c.Url;
}

TEST(UpdateCheck, VersionText) {
  struct Case {
    const char* Text;
    std::optional<TVersion> Version;
  } cases[] = {
      {"1.2.3.4", TVersion{1, 2, 3, 4}},
      {" 10.0.0.4294967295\r\n", TVersion{10, 0, 0, 4294967295u}},
      {"1.2.3", std::nullopt},
      {"1.2.3.4.5", std::nullopt},
      {"1..3.4", std::nullopt},
      {"1.2.3.4294967296", std::nullopt},
      {"1.2.-3.4", std::nullopt},
      {"a.b.c.d", std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ParseVersion(c.Text), c.Version) << c.Text;
}

TEST(UpdateCheck, TextBetweenTakesFirstTagsInOrder) {
  EXPECT_EQ(TextBetween("x<a>1</a><a>2</a>", "<a>", "</a>"), "1");
  EXPECT_EQ(TextBetween("</a>x<a>1</a>", "<a>", "</a>"), "1");
  EXPECT_EQ(TextBetween("<a>1", "<a>", "</a>"), "");
  EXPECT_EQ(TextBetween("1</a>", "<a>", "</a>"), "");
  // Tags are case-sensitive.
  EXPECT_EQ(TextBetween("<VER>1</VER>", "<ver>", "</ver>"), "");
}

TEST(AppVersion, AboutLine) {
  EXPECT_EQ(AboutVersionText({1, 1, 2, 33}), "Version 1.1 Build 2.33");
}

} // namespace
