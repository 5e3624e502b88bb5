#include <QLabel>
#include <QListWidget>
#include <QTextEdit>

#include "shell/aboutlist.h"
#include "shell/ui/about.h"
#include "shelluifixture.h"

namespace {

TEST(AboutBox, ComponentListShowsNamesAndTheSelectedDescription) {
  TestApp();
  AboutComponents().Add("Script engine 3.0", "Byte-code compiler and executor");
  AboutComponents().Add("USB backend", "Talks to the programmer module");
  TAboutBox box;
  box.Prepare();
  EXPECT_EQ(box.VersionLabel()->text(), "Version 1.1 Build 0.0");
  ASSERT_EQ(box.ComponentList()->count(), 2);
  EXPECT_EQ(box.ComponentList()->item(0)->text(), "Script engine 3.0");
  EXPECT_TRUE(box.DescriptionMemo()->toPlainText().isEmpty());
  box.ComponentList()->setCurrentRow(1);
  EXPECT_EQ(box.DescriptionMemo()->toPlainText(), "Talks to the programmer module");
  box.show();
  QDir().mkpath(QStringLiteral(KV_SCREENS_DIR));
  box.grab().save(QStringLiteral(KV_SCREENS_DIR "/about.png"));
  // Opening the box again clears the memo.
  box.Prepare();
  EXPECT_TRUE(box.DescriptionMemo()->toPlainText().isEmpty());
}

} // namespace
