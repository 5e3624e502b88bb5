#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include "shell/docklayout.h"
#include "shell/recfiles.h"
#include "shell/ui/optionsform.h"
#include "shell/ui/qtsettingsstore.h"
#include "shelluifixture.h"

namespace {

TEST(OptionsStore, EverythingSurvivesARestartThroughTheSettingsFile) {
  TestApp();
  QTemporaryDir dir;
  QString file = dir.filePath("kvprog.conf");
  THexEditOptions hex;
  hex.UndoLimit = 30;
  hex.HexFont = {"Mono", 11, 0, 0x00FF00};
  hex.OpenFileInSamePage = true;
  TProgrammerOptions programmer;
  programmer.ProgramConfirmation = false;
  TScriptOptions script;
  script.DevScriptSearchPath = "/home/u/scripts";
  TRecentFiles recent;
  // Commas, quotes and non-ASCII letters must not turn a path into a list.
  for (const char* p : {"/a.bin", "/data/a, b \"\xC3\xBC\".hex"})
    recent.Add(p);
  TDockLayout msgs{true, 1, 120, 300, 0, 0, true, 1};
  TDockSiteLayout bottom{640, 100, std::vector<std::uint8_t>{0x00, 0xFF, 0x10}};
  {
    TQtSettingsStore store(file);
    hex.Save(store);
    programmer.Save(store);
    script.Save(store);
    recent.Save(store);
    msgs.Save(store, "MsgsPanel");
    bottom.Save(store, "Bottom");
    TWindowRect{10, 20, 810, 620}.Save(store);
    store.Sync();
  }
  TQtSettingsStore store(file);
  THexEditOptions hex2;
  hex2.Load(store);
  TProgrammerOptions programmer2;
  programmer2.Load(store);
  TScriptOptions script2;
  script2.Load(store);
  TRecentFiles recent2;
  recent2.Load(store);
  TDockLayout msgs2;
  EXPECT_TRUE(msgs2.Load(store, "MsgsPanel", 3));
  EXPECT_FALSE(TDockLayout().Load(store, "ProjectTreePanel", 3));
  TDockSiteLayout bottom2;
  bottom2.Load(store, "Bottom");
  auto rect = TWindowRect::Load(store);

  EXPECT_EQ(hex2, hex);
  EXPECT_EQ(programmer2, programmer);
  EXPECT_EQ(script2, script);
  EXPECT_EQ(recent2.Items(), recent.Items());
  EXPECT_EQ(msgs2.Width, 300);
  EXPECT_EQ(msgs2.Orientation, 1);
  EXPECT_EQ(bottom2.Data, bottom.Data);
  ASSERT_TRUE(rect);
  EXPECT_EQ(rect->Width(), 800);
  // Integers and Booleans are kept as decimal strings.
  EXPECT_EQ(*store.ReadString("HexEditor", "UndoLimit"), "30");
  EXPECT_EQ(*store.ReadString("HexEditor", "OpenFileInSamePage"), "1");
}

class TOptionsFormTest : public ::testing::Test {
protected:
  void SetUp() override {
    TestApp();
    Form.ShowError = [this](const QString& text) { Errors.push_back(text.toStdString()); };
    Form.OnApply = [this](const THexEditOptions& hex, const TScriptOptions&) {
      Applied.push_back(hex.UndoLimit);
    };
  }
  // Runs Execute with the given steps done while the dialog is open.
  bool Run(std::function<void()> steps) {
    QTimer::singleShot(0, &Form, [steps] { steps(); });
    return Form.Execute(Hex, Programmer, Script);
  }
  // The application must exist before the dialog is built.
  bool AppReady = (static_cast<void>(TestApp()), true);
  TOptionsForm Form;
  THexEditOptions Hex;
  TProgrammerOptions Programmer;
  TScriptOptions Script;
  std::vector<std::string> Errors;
  std::vector<int> Applied;
};

TEST_F(TOptionsFormTest, ControlsShowTheOptions) {
  Hex.UndoLimit = 42;
  Hex.OffsetFont.Name = "Mono";
  Hex.TextAllChars = true;
  Programmer.ProgramModifiedOnlyDef = true;
  Script.DevScriptSearchPath = "/s";
  Run([this] {
    EXPECT_EQ(Form.UndoLimitEdit()->text(), "42");
    EXPECT_EQ(Form.HexGroupEdit()->text(), "1");
    EXPECT_EQ(Form.BytesPerLineEdit()->text(), "16");
    EXPECT_EQ(Form.OffsetFontBox()->text(), " Mono");
    EXPECT_EQ(Form.ScriptFontBox()->text(), " Courier New");
    EXPECT_TRUE(Form.AllCharsBox()->isChecked());
    EXPECT_FALSE(Form.SamePageBox()->isChecked());
    EXPECT_TRUE(Form.ConfirmationBox()->isChecked());
    EXPECT_TRUE(Form.ModifiedOnlyBox()->isChecked());
    EXPECT_EQ(Form.ScriptPathEdit()->text(), "/s");
    QStringList tabs;
    for (int i = 0; i < Form.Tabs()->count(); ++i)
      tabs << Form.Tabs()->tabText(i);
    EXPECT_EQ(tabs, (QStringList{"Environment", "Hex Editor", "Programmer", "Script"}));
    QStringList types;
    for (int i = 0; i < Form.FileTypes()->count(); ++i)
      types << Form.FileTypes()->item(i)->text();
    EXPECT_EQ(types, (QStringList{"bin", "hex", "s19", "kds"}));
    Form.Tabs()->setCurrentIndex(1);
    QDir().mkpath(QStringLiteral(KV_SCREENS_DIR));
    Form.grab().save(QStringLiteral(KV_SCREENS_DIR "/options_dialog.png"));
    Form.reject();
  });
}

TEST_F(TOptionsFormTest, ApplyPreviewsOkReturnsCopiesCancelDropsThem) {
  bool ok = Run([this] {
    Form.UndoLimitEdit()->setText("30");
    Form.ModifiedOnlyBox()->setChecked(true);
    Form.ApplyClick();
    Form.reject();
  });
  EXPECT_FALSE(ok);
  EXPECT_EQ(Applied, std::vector<int>{30});
  EXPECT_EQ(Hex.UndoLimit, 25); // the caller's options are untouched

  ok = Run([this] {
    Form.BytesPerLineEdit()->setText(" 32 ");
    Form.SamePageBox()->setChecked(true);
    Form.OkClick();
  });
  EXPECT_TRUE(ok);
  EXPECT_EQ(Form.Hex().BytePerLine, 32);
  EXPECT_TRUE(Form.Hex().OpenFileInSamePage);
  EXPECT_EQ(Form.Hex().UndoLimit, 25); // the dialog starts again from the caller's copy
  EXPECT_EQ(Applied.size(), 1u);       // OK reads without applying
  EXPECT_TRUE(Errors.empty());
}

TEST_F(TOptionsFormTest, BadEntriesKeepTheDialogOpen) {
  struct Case {
    const char* Undo;
    const char* Group;
    const char* Address;
    std::string Error;
    int UndoTaken;
  } cases[] = {
      {"abc", "2", "https://x.example/u.txt", "'abc' is not a valid integer value", 25},
      {"40", "2x", "https://x.example/u.txt", "'2x' is not a valid integer value", 40},
      {"40", "2", "file:///etc/passwd",
       "'file:///etc/passwd' is not a web address (http:// or https://)", 40},
  };
  for (const auto& c : cases) {
    Errors.clear();
    bool stillOpen = false;
    int undo = 0;
    bool ok = Run([&] {
      Form.UndoLimitEdit()->setText(c.Undo);
      Form.HexGroupEdit()->setText(c.Group);
      Form.UpdateAddressEdit()->setText(c.Address);
      Form.OkClick();
      stillOpen = Form.isVisible();
      undo = Form.Hex().UndoLimit;
      Form.reject();
    });
    EXPECT_FALSE(ok);
    EXPECT_TRUE(stillOpen) << c.Error;
    EXPECT_EQ(Errors, std::vector<std::string>{c.Error});
    EXPECT_EQ(undo, c.UndoTaken) << c.Error;
  }
}

TEST_F(TOptionsFormTest, AssociateRegistersTheCheckedTypes) {
  std::vector<std::string> registered;
  Form.OnAssociate = [&](const std::vector<std::string>& exts) {
    registered = exts;
    return QString("Cannot write");
  };
  Run([this] {
    Form.FileTypes()->item(1)->setCheckState(Qt::Checked);
    Form.FileTypes()->item(3)->setCheckState(Qt::Checked);
    Form.AssociateClick();
    Form.reject();
  });
  EXPECT_EQ(registered, (std::vector<std::string>{"hex", "kds"}));
  EXPECT_EQ(Errors, std::vector<std::string>{"Cannot write"});
}

TEST(FileTypeRegistration, WritesIntoTheUsersDataFolder) {
  QTemporaryDir dir;
  QByteArray old = qgetenv("XDG_DATA_HOME");
  qputenv("XDG_DATA_HOME", dir.path().toUtf8());
  QString error = RegisterFileTypesForUser({"s19"}, "/opt/My Tools/kvprog");
  qputenv("XDG_DATA_HOME", old);
  EXPECT_TRUE(error.isEmpty()) << error.toStdString();
  QFile desktop(dir.filePath("applications/kvprog.desktop"));
  ASSERT_TRUE(desktop.open(QIODevice::ReadOnly));
  EXPECT_TRUE(desktop.readAll().contains("Exec=\"/opt/My Tools/kvprog\" %f"));
  EXPECT_TRUE(QFile::exists(dir.filePath("mime/packages/kvprog-s19.xml")));
}

} // namespace
