#include <QTextEdit>

#include "shell/ui/updateform.h"
#include "shelluifixture.h"

namespace {

TEST(CheckForUpdateForm, LinesAndTheDownloadPageOnlyWithConsent) {
  TestApp();
  struct Case {
    const char* Name;
    bool Fetched;
    std::string Body;
    bool Agree;
    bool Compared;
    QStringList LastLines;
    QStringList Opened;
  } cases[] = {
      {"up to date",
       true,
       "[kvsp]<ver>1.1.0.0</ver><date>d</date>[/kvsp]",
       true,
       true,
       {"Your Korvane Device Programmer software is up to date"},
       {}},
      {"newer, agreed",
       true,
       "[kvsp]<ver>1.1.5.0</ver><date>d</date><url>https://dl.example/k</url>[/kvsp]",
       true,
       true,
       {"New Version:", "v1.1.5.0, Release Date: d"},
       {"https://dl.example/k"}},
      {"newer, refused",
       true,
       "[kvsp]<ver>1.2.0.0</ver><date>d</date><url>https://dl.example/k</url>[/kvsp]",
       false,
       true,
       {"New Version:", "v1.2.0.0, Release Date: d"},
       {}},
      {"newer, not a web address",
       true,
       "[kvsp]<ver>2.0.0.0</ver><date>d</date><url>file:///bin/sh</url>[/kvsp]",
       true,
       true,
       {"New Version:", "v2.0.0.0, Release Date: d"},
       {}},
      {"no entry", true, "[kvxx][/kvxx]", true, false, {"Can't Find Update Information"}, {}},
      {"short version", true, "[kvsp]<ver>1.1</ver>[/kvsp]", true, false, {"Try again later"}, {}},
      {"network down",
       false,
       "",
       true,
       false,
       {"Connecting to update server... Failed", "Try again later"},
       {}},
  };
  for (const auto& c : cases) {
    TCheckForUpdateForm form;
    form.Program() =
        RunningProgramInfo("/no/such/program", "https://www.morlisk.example/update.txt");
    QStringList fetched, asked, opened;
    form.Fetch = [&](const QString& url, QByteArray& body) {
      fetched << url;
      body = QByteArray::fromStdString(c.Body);
      return c.Fetched;
    };
    form.ConfirmOpen = [&](const QString& url) {
      asked << url;
      return c.Agree;
    };
    form.OpenUrl = [&](const QString& url) {
      opened << url;
      return true;
    };
    EXPECT_EQ(form.Execute(), c.Compared) << c.Name;
    EXPECT_EQ(fetched, QStringList{"https://www.morlisk.example/update.txt"}) << c.Name;
    QStringList lines = form.Lines();
    EXPECT_EQ(lines.mid(lines.size() - c.LastLines.size()), c.LastLines) << c.Name;
    EXPECT_EQ(opened, c.Opened) << c.Name;
    if (c.Fetched) {
      EXPECT_EQ(lines.value(0), "Connecting to update server... OK") << c.Name;
    }
    if (std::string(c.Name) == "newer, agreed") {
      QDir().mkpath(QStringLiteral(KV_SCREENS_DIR));
      form.grab().save(QStringLiteral(KV_SCREENS_DIR "/check_for_update.png"));
    }
  }
}

TEST(CheckForUpdateForm, ANonWebUpdateAddressIsNeverFetched) {
  TestApp();
  TCheckForUpdateForm form;
  form.Program() = RunningProgramInfo("", "ftp://x.example/update.txt");
  bool fetched = false;
  form.Fetch = [&](const QString&, QByteArray&) { return fetched = true; };
  EXPECT_FALSE(form.Execute());
  EXPECT_FALSE(fetched);
  EXPECT_EQ(form.Lines(),
            (QStringList{"Connecting to update server... Failed", "Try again later"}));
}

} // namespace
