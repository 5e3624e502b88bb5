#include <QMenu>
#include <QMenuBar>

#include "devices/connection.h"
#include "gui/guisession.h"
#include "gui/virtualmenu.h"
#include "link/usbinterface.h"
#include "shell/ui/msgpanel.h"
#include "shelluifixture.h"
#include "sim/virtualmodule.h"

// kvprog --virtual as the user meets it: the start-up search writes into the
// message panel, and the Virtual Module menu's plug and unplug are followed.
TEST_F(TMainFormTest, VirtualModuleSearchAndHotplugReachTheMessagePanel) {
  TServicesScope scope(*Form);
  Form->AnswerQuestion = [](const std::string&, const std::string&, bool) { return TAnswer::No; };
  TGuiSession session(true);
  EXPECT_TRUE(StartUpSearch());
  EXPECT_TRUE(Link().Opened());
  const QStringList atStart = Form->MsgsPanel()->Lines();
  ASSERT_FALSE(atStart.isEmpty());
  EXPECT_TRUE(atStart.last().startsWith("Found Device Programmer")) << atStart.last().toStdString();
  EXPECT_EQ(Form->MsgsPanel()->SelectedText(), atStart.last());
  Screenshot(Form.get(), "kvprog_virtual_start");

  std::string error;
  EXPECT_FALSE(session.Plug(error));
  EXPECT_EQ(error, "The virtual module is already plugged in");

  Form->ClearMessages();
  ASSERT_TRUE(session.Unplug(error));
  session.Poll();
  EXPECT_EQ(Form->MsgsPanel()->Lines(), QStringList{"USB Module Disconnected"});
  EXPECT_FALSE(session.Unplug(error));

  ASSERT_TRUE(session.Plug(error));
  session.Poll();
  const QStringList replugged = Form->MsgsPanel()->Lines();
  ASSERT_EQ(replugged.size(), 3);
  EXPECT_EQ(replugged[1], "USB Module Connected");
  EXPECT_EQ(replugged[2], atStart.last());
  EXPECT_TRUE(Link().Opened());

  // A bad fault text is refused and says why; a good one is taken.
  EXPECT_FALSE(session.AddFault("no such fault", error));
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(session.AddFault("noreply", error)) << error;
}

TEST_F(TMainFormTest, AnotherPersonalityArrivesAsANewModule) {
  TServicesScope scope(*Form);
  Form->AnswerQuestion = [](const std::string&, const std::string&, bool) { return TAnswer::No; };
  TGuiSession session(true);
  StartUpSearch();
  Form->ClearMessages();
  TVirtualModule* before = session.Module();
  session.SetPersonality(TPersonality::OtherMaker);
  session.Poll();
  EXPECT_NE(session.Module(), before);
  EXPECT_TRUE(session.Plugged());
  const QStringList lines = Form->MsgsPanel()->Lines();
  ASSERT_FALSE(lines.isEmpty());
  EXPECT_EQ(lines.first(), "USB Module Disconnected");
  // Another maker's chip is not a module to use.
  EXPECT_FALSE(Link().Opened());
}

TEST_F(TMainFormTest, VirtualModuleMenuSitsBeforeHelpAndDrivesTheModule) {
  TServicesScope scope(*Form);
  Form->AnswerQuestion = [](const std::string&, const std::string&, bool) { return TAnswer::No; };
  TGuiSession session(true);
  StartUpSearch();
  AddVirtualModuleMenu(*Form, session);
  QStringList menus;
  for (QAction* a : Form->menuBar()->actions())
    if (a->isVisible()) menus << a->text();
  ASSERT_GE(menus.size(), 2);
  EXPECT_EQ(menus[menus.size() - 2], "&Virtual Module");
  QMenu* menu = Form->FindMenu("&Virtual Module");
  ASSERT_NE(menu, nullptr);
  auto item = [menu](const QString& caption) -> QAction* {
    for (QAction* a : menu->actions())
      if (a->text() == caption) return a;
    return nullptr;
  };
  for (const char* caption :
       {"&Plug In", "&Unplug", "P&ersonality", "Inject &Fault...", "&Clear Faults"}) {
    SCOPED_TRACE(caption);
    EXPECT_NE(item(caption), nullptr);
  }
  Form->ClearMessages();
  item("&Plug In")->trigger(); // already in: says so, changes nothing
  EXPECT_EQ(Form->MsgsPanel()->Lines(), QStringList{"The virtual module is already plugged in"});
  item("&Unplug")->trigger();
  EXPECT_EQ(Form->MsgsPanel()->Lines().last(), "USB Module Disconnected");
  EXPECT_FALSE(Link().Opened());
  Screenshot(Form.get(), "kvprog_virtual_unplugged");
}
