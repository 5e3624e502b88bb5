#include "pagefixture.h"

#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <fstream>

#include "cli/socketpart.h"
#include "devices/connection.h"
#include "devices/devbase.h"
#include "devices/devicepage.h"
#include "devices/devlist.h"
#include "devices/taskexec.h"
#include "editor/statuspanel.h"
#include "editor/xhexedit.h"
#include "families/familyclasses.h"
#include "families/ui/devgroupframeview.h"
#include "families/ui/e2memframeview.h"
#include "gui/pages.h"
#include "shell/ui/msgpanel.h"
#include "sim/virtualsocket.h"
#include "support/tempdir.h"
#include "support/widgettest.h"

void TProgrammerPageTest::SetUp() {
  WidgetTestApp();
  // Process-wide state of the pages starts as at program start.
  TDevicePage::LastSelectedID = "gdevall";
  TStatusPanel::SizeMode = smHex;
  TStatusPanel::MonitorLength = mlBits8;
  TStatusPanel::MonitorOrder = boIntel;
  TXHexEdit::SetInsertMode(false);
  THepPage::ProgramModifiedOnlyDef = false;
  TaskForm().ProgramConfirmation = true;

  Dir = TestTempPath(::testing::UnitTest::GetInstance()->current_test_info()->name());
  std::filesystem::create_directories(Dir);

  Registry = CreateDeviceList();
  SetDeviceList(Registry.get());
  Form = std::make_unique<TTestMainForm>();
  Scope = std::make_unique<TServicesScope>(*Form);
  Form->AnswerQuestion = [this](const std::string& title, const std::string& text, bool) {
    Asked.push_back(title + "|" + text);
    if (Answers.empty()) return TAnswer::No;
    const TAnswer a = Answers.front();
    Answers.pop_front();
    return a;
  };
  Form->ShowErrorBox = [this](const QString& caption, const QString& text) {
    Asked.push_back((caption + "|" + text).toStdString());
  };
  Form->SetTaskCancelHandler([] { TaskForm().SetUserBreak(true); });
  RegisterPages(*Form);
  Session = std::make_unique<TGuiSession>(true);
  ASSERT_TRUE(StartUpSearch());
  THepPage::OnDeviceAttached = [this](THepPage&, TDevice& device) {
    std::string error;
    Session->InsertPart(SocketSpecOf(device), error);
  };
  Form->show();
  Pump();
  Asked.clear();
}

void TProgrammerPageTest::TearDown() {
  THepPage::OnDeviceAttached = nullptr;
  THepPage::HexOptions = nullptr;
  THepPage::ProgramModifiedOnlyDef = false;
  Form->AnswerQuestion = [](const std::string&, const std::string&, bool) { return TAnswer::No; };
  Scope.reset();
  Form.reset();
  Session.reset();
  SetDeviceList(nullptr);
  Registry.reset();
  TaskForm().ProgramConfirmation = true;
  std::error_code ec;
  std::filesystem::remove_all(Dir, ec);
}

void TProgrammerPageTest::Pump() {
  for (int i = 0; i < 3; ++i)
    QApplication::processEvents();
}

THepPage* TProgrammerPageTest::NewPage() {
  auto* page = qobject_cast<THepPage*>(Form->NewPage(TPageKind::Programmer));
  Pump();
  if (page) page->OnBeep = [this] { ++Beeps; };
  return page;
}

void TProgrammerPageTest::ChooseInGroupList(THepPage* page, const QString& name) {
  QListWidget* list = page->GroupFrameView()->List();
  const QList<QListWidgetItem*> items = list->findItems(name, Qt::MatchExactly);
  ASSERT_FALSE(items.isEmpty()) << name.toStdString() << " is not in the group list";
  emit list->itemClicked(items.first());
  Pump();
}

THepPage* TProgrammerPageTest::PageWith(const QString& device) {
  THepPage* page = NewPage();
  EXPECT_NE(page, nullptr);
  if (!page) return nullptr;
  // A new page starts with the device chosen last; otherwise with all devices.
  if (!page->Device || page->Device->Name != device.toStdString()) ChooseInGroupList(page, device);
  return page;
}

void TProgrammerPageTest::PressKey(QWidget* widget, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(widget, &press);
  QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
  QApplication::sendEvent(widget, &release);
}

void TProgrammerPageTest::Type(QWidget* widget, const QString& text) {
  widget->setFocus();
  for (QChar c : text) {
    const int key = c.isLetter()  ? Qt::Key_A + (c.toUpper().unicode() - 'A')
                    : c.isDigit() ? Qt::Key_0 + (c.unicode() - '0')
                                  : (c == ' ' ? Qt::Key_Space : 0);
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
    QApplication::sendEvent(widget, &release);
  }
}

void TProgrammerPageTest::ClickFrameButton(THepPage* page, const QString& caption) {
  QPushButton* button = page->MemoryFrameView()->FindButton(caption);
  ASSERT_NE(button, nullptr) << caption.toStdString();
  ASSERT_TRUE(button->isEnabled()) << caption.toStdString();
  button->click();
  Pump();
}

QStringList TProgrammerPageTest::Lines() const {
  return Form->MsgsPanel()->Lines();
}

std::vector<std::uint8_t> TProgrammerPageTest::PartContents() const {
  return Session->Socket() ? Session->Socket()->Dump() : std::vector<std::uint8_t>{};
}

void TProgrammerPageTest::LoadPart(const std::vector<std::uint8_t>& image) {
  ASSERT_NE(Session->Socket(), nullptr);
  ASSERT_TRUE(Session->Socket()->Current().Load);
  Session->Socket()->Current().Load(image);
}

void TProgrammerPageTest::WriteFile(const std::string& path,
                                    const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}
