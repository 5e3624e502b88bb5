#include <QPalette>
#include <QPlainTextEdit>
#include <QTextBlock>

#include "shell/ui/msgpanel.h"
#include "shelluifixture.h"

TEST_F(TMainFormTest, AddMessageSelectsExactlyTheNewLastLine) {
  TMsgsPanel* panel = Form->MsgsPanel();
  EXPECT_EQ(panel->windowTitle(), "Messages");
  TServicesScope scope(*Form);
  const char* lines[] = {"USB Module Connected, a rather long first line of the panel", "ab", "",
                         "Reading: Success  Device: 24C02"};
  for (const char* line : lines) {
    SCOPED_TRACE(line);
    Services().AddMessage(line);
    EXPECT_EQ(panel->SelectedText(), line);
    EXPECT_EQ(panel->MsgsMemo()->textCursor().block(), panel->MsgsMemo()->document()->lastBlock());
  }
  EXPECT_EQ(panel->Lines().size(), 4);
  Screenshot(Form.get(), "msgpanel_lines");
}

TEST_F(TMainFormTest, ReplaceLastMessageOverwritesOnlyAnExistingLine) {
  TMsgsPanel* panel = Form->MsgsPanel();
  panel->ReplaceLastMessage("nothing to replace");
  EXPECT_TRUE(panel->Lines().isEmpty());

  panel->AddMessage("first");
  panel->AddMessage("Erasing 10%");
  panel->ReplaceLastMessage("Erasing 100%");
  EXPECT_EQ(panel->Lines(), (QStringList{"first", "Erasing 100%"}));
}

TEST_F(TMainFormTest, ClearAndTheMessagesToggleKeepWhatTheyShould) {
  TMsgsPanel* panel = Form->MsgsPanel();
  QAction* show = Form->QtAction("ShowMsgsAction");
  panel->AddMessage("one");
  panel->AddMessage("two");

  EXPECT_TRUE(show->isChecked());
  show->trigger();
  EXPECT_TRUE(panel->isHidden());
  EXPECT_FALSE(show->isChecked());
  show->trigger();
  EXPECT_FALSE(panel->isHidden());
  EXPECT_TRUE(show->isChecked());
  EXPECT_EQ(panel->Lines(), (QStringList{"one", "two"}));

  Form->QtAction("ClearMsgsAction")->trigger();
  EXPECT_TRUE(panel->Lines().isEmpty());
  panel->AddMessage("three");
  EXPECT_EQ(panel->Lines(), QStringList{"three"});
}

TEST_F(TMainFormTest, SelectionStaysVisibleWithoutFocus) {
  const QPalette palette = Form->MsgsPanel()->MsgsMemo()->palette();
  EXPECT_EQ(palette.color(QPalette::Inactive, QPalette::Highlight),
            palette.color(QPalette::Active, QPalette::Highlight));
  EXPECT_NE(palette.color(QPalette::Inactive, QPalette::Highlight),
            palette.color(QPalette::Inactive, QPalette::Base));
}
