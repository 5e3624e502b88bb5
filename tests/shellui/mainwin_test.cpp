#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolBar>
#include <QUrl>

#include "shell/ui/msgpanel.h"
#include "shell/ui/taskview.h"
#include "shelluifixture.h"

namespace {

QStringList Captions(const QList<QAction*>& actions) {
  QStringList captions;
  for (QAction* a : actions)
    if (!a->isSeparator()) captions << a->text();
  return captions;
}

} // namespace

TEST_F(TMainFormTest, MenusAndToolBarsShowTheirCaptions) {
  QStringList menus;
  for (QAction* a : Form->menuBar()->actions())
    if (a->isVisible()) menus << a->text();
  EXPECT_EQ(menus, (QStringList{"Fil&e", "E&dit", "V&iew", "&Format", "De&vice", "&Actions",
                                "&Script", "&Tools", "He&lp"}));

  struct {
    const char* Menu;
    QStringList Items;
  } menuCases[] = {
      {"Fil&e",
       {"&New", "&Open...", "&Recent Files", "&Save", "Save &As...", "&Close", "Pr&int", "E&xit"}},
      {"V&iew",
       {"&Numbers per Line", "&Monitor", "&Find/Replace", "M&essages", "&Clear Messages",
        "&Zoom In", "Z&oom Out", "&Actual View", "F&it In Window"}},
      {"De&vice", {"&Settings", "&Config Bits/Register", "&Lock Bits", "&Fuse Bits"}},
      {"&Actions", {"Empty"}},
      {"He&lp", {"&Contents", "&Morlisk Home Page", "C&heck For Update", "&About..."}},
  };
  for (const auto& c : menuCases) {
    SCOPED_TRACE(c.Menu);
    QMenu* menu = Form->FindMenu(c.Menu);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(Captions(menu->actions()), c.Items);
  }
  EXPECT_EQ(Form->QtAction("RedoAction")->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+Z")));

  QStringList bars;
  for (auto* bar : Form->findChildren<QToolBar*>())
    bars << bar->windowTitle();
  EXPECT_EQ(bars,
            (QStringList{"Edit", "Format", "View", "File", "Miscellaneous", "Scope", "Script"}));
  EXPECT_EQ(Captions(Form->FindToolBar("View")->actions()),
            (QStringList{"&Zoom In", "Z&oom Out", "&Actual View", "F&it In Window"}));
  Screenshot(Form.get(), "mainwin_empty");
}

TEST_F(TMainFormTest, EnabledStatesFollowTheActivePageKind) {
  RegisterFakes({TPageKind::Programmer, TPageKind::Text, TPageKind::Image});
  const std::vector<std::string> watched = {
      "UndoAction",    "SelectAllAction",      "SaveAction",       "SaveAsAction",
      "Fill00hAction", "DeviceSettingsAction", "ChangeFontAction", "ZoomInAction",
      "ZoomOutAction", "FitInWindowAction",    "ActualViewAction", "CloseAction"};
  auto enabled = [&](const std::string& name) { return Form->QtAction(name)->isEnabled(); };

  for (const auto& name : watched) {
    SCOPED_TRACE("no page: " + name);
    EXPECT_FALSE(enabled(name));
  }
  TBasePage* pages[] = {Form->NewPage(TPageKind::Programmer), Form->NewPage(TPageKind::Text),
                        Form->NewPage(TPageKind::Image)};
  // Switching tabs unbinds the previous page's commands and binds the new one's.
  for (TBasePage* page : pages) {
    Form->PageControl()->setCurrentWidget(page);
    const auto& bound = BoundBy(page->Kind());
    for (const auto& name : watched) {
      SCOPED_TRACE(std::string(PageKindName(page->Kind())) + ": " + name);
      bool expected =
          name == "CloseAction" || std::find(bound.begin(), bound.end(), name) != bound.end();
      EXPECT_EQ(enabled(name), expected);
    }
    Screenshot(Form.get(), std::string("mainwin_") + PageKindName(page->Kind()));
  }
  // The bound handler is the active page's.
  Form->QtAction("ZoomInAction")->trigger();
  EXPECT_EQ(static_cast<TFakePage*>(pages[2])->Runs, 1);
  EXPECT_EQ(static_cast<TFakePage*>(pages[0])->Runs, 0);
}

TEST_F(TMainFormTest, NewPagesAreNamedFromOneCounterAndUnbuiltKindsSaySo) {
  RegisterFakes({TPageKind::Programmer, TPageKind::Text});
  Form->QtAction("NewProgAction")->trigger();
  Form->QtAction("NewTextAction")->trigger();
  Form->QtAction("NewProgAction")->trigger();
  QStringList tabs;
  for (int i = 0; i < Form->PageControl()->count(); ++i)
    tabs << Form->PageControl()->tabText(i);
  EXPECT_EQ(tabs, (QStringList{"Untited1", "Untited2", "Untited3"}));
  EXPECT_TRUE(Active()->NeverSaved);
  EXPECT_EQ(Title(), "Korvane Device Programmer v1.1  - Untited3");

  Form->QtAction("NewScopeAction")->trigger();
  EXPECT_EQ(Form->PageControl()->count(), 3);
  EXPECT_EQ(Form->MsgsPanel()->Lines(), QStringList{"The Oscilloscope page is not available yet"});
  // The page that was active keeps its commands.
  EXPECT_TRUE(Form->QtAction("UndoAction")->isEnabled());
}

TEST_F(TMainFormTest, OpenFileByExtensionPlacesFilesByKind) {
  RegisterFakes({TPageKind::Programmer, TPageKind::Text, TPageKind::Image});
  Form->OpenFileInSamePage = true;

  Form->OpenFileByExtension("/d/a.KVP");
  Form->OpenFileByExtension("/d/a.ltf");
  EXPECT_EQ(Form->PageControl()->count(), 0);
  EXPECT_TRUE(Form->MsgsPanel()->Lines().isEmpty());

  Form->OpenFileByExtension("/d/one.bin");
  ASSERT_EQ(Form->PageControl()->count(), 1);
  TFakePage* programmer = Active();
  EXPECT_FALSE(programmer->NeverSaved);
  Form->OpenFileByExtension("/d/two.bin"); // same page, option on
  EXPECT_EQ(Form->PageControl()->count(), 1);
  EXPECT_EQ(programmer->Opened, (std::vector<std::string>{"/d/one.bin", "/d/two.bin"}));

  Form->OpenFileByExtension("/d/notes.txt");
  EXPECT_EQ(Active()->Kind(), TPageKind::Text);
  Form->OpenFileByExtension("/d/three.bin"); // a text page is active: a new programmer page
  EXPECT_EQ(Form->PageControl()->count(), 3);
  EXPECT_EQ(Active()->Kind(), TPageKind::Programmer);
  EXPECT_NE(Active(), programmer);

  // An ignored extension leaves the active page's commands bound.
  Form->OpenFileByExtension("/d/x.kvp");
  EXPECT_TRUE(Form->QtAction("UndoAction")->isEnabled());

  Form->OpenFileByExtension("/d/s.ksc"); // no script page yet
  EXPECT_EQ(Form->PageControl()->count(), 3);
  EXPECT_EQ(Form->MsgsPanel()->Lines().last(),
            "Cannot open /d/s.ksc: the Script page is not available yet");
}

TEST_F(TMainFormTest, APageThatCannotOpenItsFileIsDestroyed) {
  RegisterFakes({TPageKind::Image});
  Form->OpenFileByExtension("/d/good.png");
  Form->OpenFileByExtension("/d/broken.png");
  EXPECT_EQ(Form->PageControl()->count(), 1);
  EXPECT_EQ(Active()->FileName, "/d/good.png");
  EXPECT_TRUE(Form->QtAction("ZoomInAction")->isEnabled());
}

TEST_F(TMainFormTest, CloseAsksThePageAndLeavesTheBaseCaption) {
  RegisterFakes({TPageKind::Text});
  Form->NewPage(TPageKind::Text);
  Form->NewPage(TPageKind::Text);
  Form->PageControl()->setCurrentIndex(0);
  Active()->AllowClose = false;
  Form->QtAction("CloseAction")->trigger();
  EXPECT_EQ(Form->PageControl()->count(), 2);

  Active()->AllowClose = true;
  Form->QtAction("CloseAction")->trigger();
  ASSERT_EQ(Form->PageControl()->count(), 1);
  EXPECT_EQ(Active()->FileName, "Untited2"); // the next tab took its place, active
  EXPECT_TRUE(Form->QtAction("SaveAction")->isEnabled());

  Form->QtAction("CloseAction")->trigger();
  EXPECT_EQ(Form->PageControl()->count(), 0);
  EXPECT_EQ(Title(), "Korvane Device Programmer v1.1  ");
  EXPECT_FALSE(Form->QtAction("CloseAction")->isEnabled());
  EXPECT_FALSE(Form->QtAction("SaveAction")->isEnabled());
}

TEST_F(TMainFormTest, ClosingTheWindowStopsAtThePageThatRefuses) {
  RegisterFakes({TPageKind::Text});
  int saves = 0;
  Form->OnSaveSettings = [&] { ++saves; };
  auto* first = static_cast<TFakePage*>(Form->NewPage(TPageKind::Text));
  auto* second = static_cast<TFakePage*>(Form->NewPage(TPageKind::Text));
  first->AllowClose = false;
  EXPECT_FALSE(Form->close());
  EXPECT_TRUE(Form->isVisible());
  EXPECT_EQ(second->CloseQueries, 0);
  EXPECT_EQ(saves, 0);

  first->AllowClose = true;
  EXPECT_TRUE(Form->close());
  EXPECT_EQ(saves, 1);
}

TEST_F(TMainFormTest, MissingFilesGiveTheirErrorBoxes) {
  RegisterFakes({TPageKind::Programmer});
  QTemporaryDir dir;
  const std::string missing = dir.filePath("gone.bin").toStdString();
  const std::string present = dir.filePath("here.bin").toStdString();
  QFile(QString::fromStdString(present)).open(QIODevice::WriteOnly);

  EXPECT_FALSE(Form->OpenCommandLineFile(missing));
  Form->RecentFiles().Add(missing);
  Form->OpenRecentFile(missing);
  EXPECT_EQ(ErrorBoxes, (std::vector<std::string>{"Error loading file|" + missing + " not exist",
                                                  "Error|" + missing + " Not Exist"}));
  EXPECT_EQ(Form->RecentFiles().Items().size(), 1u); // the entry stays

  EXPECT_TRUE(Form->OpenCommandLineFile(present));
  Form->OpenRecentFile(present);
  EXPECT_EQ(Form->PageControl()->count(), 2);
  EXPECT_EQ(Form->RecentFiles().Items().front(), present);
  QMenu* file = Form->FindMenu("Fil&e");
  QMenu* recent = nullptr;
  for (QAction* a : file->actions())
    if (a->text() == "&Recent Files") recent = a->menu();
  ASSERT_NE(recent, nullptr);
  EXPECT_EQ(Captions(recent->actions()),
            (QStringList{QString::fromStdString(present), QString::fromStdString(missing)}));
}

TEST_F(TMainFormTest, HelpOpensThePdfBesideTheProgram) {
  QTemporaryDir dir;
  Form->ProgramFolder = dir.path();
  Form->QtAction("HelpContentsAction")->trigger();
  EXPECT_TRUE(Opened.empty());
  const QString pdf = dir.filePath("help/kvprog.pdf");
  EXPECT_EQ(Form->MsgsPanel()->Lines(), QStringList{"Help file not found: " + pdf});

  QDir(dir.path()).mkpath("help");
  QFile(pdf).open(QIODevice::WriteOnly);
  Form->QtAction("HelpContentsAction")->trigger();
  EXPECT_EQ(Opened, std::vector<std::string>{QUrl::fromLocalFile(pdf).toString().toStdString()});
}

TEST_F(TMainFormTest, ModelsDriveDeviceCommandsAndTheActionsMenu) {
  TServicesScope scope(*Form);
  int runs = 0;
  Services().DeviceCommand(dcFuseBits).Set([&](void*) { ++runs; }, true);
  QAction* fuse = Form->QtAction("FuseBitsAction");
  EXPECT_TRUE(fuse->isEnabled());
  EXPECT_EQ(fuse->text(), "&Fuse Bits");
  fuse->trigger();
  EXPECT_EQ(runs, 1);

  TMenuModel* actions = Services().FindMenuItem("&Actions");
  ASSERT_NE(actions, nullptr);
  actions->Clear();
  actions->Add("Erase Chip", [&] { runs += 10; });
  actions->Changed();
  QMenu* menu = Form->FindMenu("&Actions");
  EXPECT_EQ(Captions(menu->actions()), QStringList{"Erase Chip"});
  menu->actions().first()->trigger();
  EXPECT_EQ(runs, 11);

  Form->DisconnectPageActions();
  EXPECT_FALSE(fuse->isEnabled());
  EXPECT_EQ(Captions(menu->actions()), QStringList{"Empty"});
}

TEST_F(TMainFormTest, TaskDialogShowsStatusAndCancelSetsTheBreak) {
  bool cancelled = false;
  Form->SetTaskCancelHandler([&] { cancelled = true; });
  TServicesScope scope(*Form);
  Services().TaskShow("24C02", "Range: 0000h - 00FFh");
  Services().TaskStatus("Reading ...");
  Services().TaskProgressBounds(0, 255);
  Services().TaskProgress(128);
  TTaskView& view = Form->TaskDialog();
  EXPECT_TRUE(view.isVisible());
  EXPECT_EQ(view.StatusText(), "Reading ...");
  EXPECT_EQ(view.Position(), 128);
  Screenshot(&view, "taskview");
  view.reject(); // Escape or the close box
  EXPECT_TRUE(cancelled);
  EXPECT_TRUE(view.isVisible()); // the task decides when it ends
  Services().TaskHide();
  EXPECT_FALSE(view.isVisible());
}

TEST_F(TMainFormTest, DroppedFilesOpenByExtension) {
  RegisterFakes({TPageKind::Text, TPageKind::Image});
  Form->OpenDroppedUrls({QUrl::fromLocalFile("/d/pins.png"), QUrl::fromLocalFile("/d/notes.txt"),
                         QUrl("https://example.invalid/remote.txt")});
  ASSERT_EQ(Form->PageControl()->count(), 2); // only local files
  EXPECT_EQ(Active()->FileName, "/d/notes.txt");
}
