#include <QTemporaryDir>

#include "gui/settingswiring.h"
#include "shell/ui/mainwin.h"
#include "shell/ui/qtsettingsstore.h"
#include "shelluifixture.h"

namespace {

// Options, recent files and the window layout written at close come back at
// the next start.
TEST(GuiSettings, SurviveARestart) {
  TestApp();
  QTemporaryDir dir;
  const QString file = dir.filePath("kvprog.conf");
  {
    TMainForm form;
    TGuiSettings settings(form, new TQtSettingsStore(file));
    EXPECT_FALSE(form.OpenFileInSamePage);
    settings.Hex.OpenFileInSamePage = true;
    settings.Hex.UndoLimit = 77;
    form.RecentFiles().Add("/tmp/a.hex");
    form.resize(640, 480);
    ASSERT_TRUE(form.OnSaveSettings);
    form.OnSaveSettings();
  }
  TMainForm form;
  TGuiSettings settings(form, new TQtSettingsStore(file));
  EXPECT_TRUE(settings.Hex.OpenFileInSamePage);
  EXPECT_TRUE(form.OpenFileInSamePage);
  EXPECT_EQ(settings.Hex.UndoLimit, 77);
  EXPECT_EQ(form.size(), QSize(640, 480));
  ASSERT_FALSE(form.RecentFiles().Items().empty());
  EXPECT_EQ(form.RecentFiles().Items().front(), "/tmp/a.hex");
}

} // namespace
