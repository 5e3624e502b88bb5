#include <gtest/gtest.h>

#include <QFrame>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>

#include "devices/taskexec.h"
#include "shell/ui/taskview.h"
#include "support/recorderservices.h"
#include "support/widgettest.h"

namespace {

// Records like the test services and draws into a real task dialog.
class TViewServices : public TRecorderServices {
public:
  explicit TViewServices(TTaskView& view) : View(view) {}
  void TaskShow(const std::string& d, const std::string& r) override {
    TRecorderServices::TaskShow(d, r);
    View.ShowTask(QString::fromStdString(d), QString::fromStdString(r));
  }
  void TaskStatus(const std::string& t) override {
    TRecorderServices::TaskStatus(t);
    View.SetStatus(QString::fromStdString(t));
  }
  void TaskProgressBounds(int a, int b) override { View.SetBounds(a, b); }
  void TaskProgress(int p) override {
    TRecorderServices::TaskProgress(p);
    View.SetPosition(p);
  }
  void TaskHide() override {
    TRecorderServices::TaskHide();
    View.HideTask();
  }
  void ProcessMessages() override {
    TRecorderServices::ProcessMessages();
    QApplication::processEvents();
  }
  TTaskView& View;
};

class TaskViewTest : public ::testing::Test {
protected:
  void SetUp() override {
    WidgetTestApp();
    Main.resize(900, 700);
    Main.move(50, 40);
    Main.show();
    View->OnCancel = [] { TaskForm().SetUserBreak(true); };
    TaskForm().ModuleLoader = [](TModule) { return trSuccess; };
  }
  void TearDown() override { TaskForm().ModuleLoader = nullptr; }
  QString Caption(int index) const {
    auto labels = View->findChildren<QLabel*>(QString(), Qt::FindChildrenRecursively);
    QStringList texts;
    for (QLabel* l : labels)
      texts << l->text();
    return texts.value(index);
  }

  QApplication& App = WidgetTestApp(); // before any widget
  QMainWindow Main;
  TTaskView* View = new TTaskView(&Main);
  TViewServices Rec{*View};
  TServicesScope Scope{Rec};
};

TEST_F(TaskViewTest, IsABorderlessDialogWithCaptionsStatusLineAndThinBar) {
  EXPECT_TRUE(View->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(View->isModal());
  QStringList texts;
  for (QLabel* l : View->findChildren<QLabel*>())
    texts << l->text();
  EXPECT_TRUE(texts.contains("Device:"));
  EXPECT_TRUE(texts.contains("Range:"));
  auto* status = View->findChild<QLabel*>("StatusBar1");
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(status->frameShadow(), QFrame::Sunken);
  auto* bar = View->findChild<QProgressBar*>("ProgressBar1");
  ASSERT_NE(bar, nullptr);
  EXPECT_FALSE(bar->isTextVisible());
  EXPECT_LE(bar->height(), 12);
  EXPECT_EQ(View->CancelBtn()->text(), "Cancel");
}

TEST_F(TaskViewTest, ARunningReadShowsDeviceRangeAndProgressAndCancelBreaksIt) {
  bool sawCaptions = false;
  auto task = [&] {
    EXPECT_TRUE(View->isVisible());
    EXPECT_EQ(View->DeviceText(), "24C02");
    EXPECT_EQ(View->RangeText(), "0 - FF");
    EXPECT_EQ(View->StatusText(), " Reading...");
    const QPoint offset = View->frameGeometry().center() - Main.frameGeometry().center();
    EXPECT_LE(offset.manhattanLength(), 4);
    sawCaptions = true;
    for (int address = 0; address <= 0xFF && !TaskForm().UserBreak; address += 0x10) {
      Rec.Clock += 150; // every block takes longer than a tick
      TaskForm().ShowProgress(address);
      Rec.ProcessMessages();
      if (address == 0x80) {
        EXPECT_EQ(View->StatusText(), " Reading... 80");
        EXPECT_EQ(View->Position(), 0x80);
        SaveScreenshot(View, "taskdialog");
        View->CancelBtn()->click();
      }
    }
    return trSuccess;
  };
  EXPECT_EQ(TaskForm().Execute(oprRead, "24C02", task, tmEEPROM, 0xFF, 0), trSuccess);
  EXPECT_TRUE(sawCaptions);
  EXPECT_EQ(View->StatusText(), " Reading... User Break");
  EXPECT_FALSE(View->isVisible());
  ASSERT_FALSE(Rec.Lines.empty());
  EXPECT_EQ(Rec.Lines.back(), "Reading: User Break  Device: 24C02 Range: 0 - FF");
}

TEST_F(TaskViewTest, EscapeCancelsButOnlyTheTaskHidesTheDialog) {
  bool cancelled = false;
  View->OnCancel = [&] { cancelled = true; };
  View->ShowTask("PIC16F84", "N/A");
  View->reject();
  EXPECT_TRUE(cancelled);
  EXPECT_TRUE(View->isVisible());
  View->SetBounds(5, 5); // an empty range stays a bar, not a busy indicator
  View->SetPosition(9);
  EXPECT_EQ(View->Position(), 6);
  View->HideTask();
  EXPECT_FALSE(View->isVisible());
}

} // namespace
