#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QListWidget>
#include <QTest>
#include <memory>

#include "devices/devlist.h"
#include "families/familyclasses.h"
#include "families/framedpage.h"
#include "families/ui/devgroupframeview.h"
#include "support/recorderservices.h"
#include "support/widgettest.h"

namespace {

// The program's registry, a page showing a group entry and its list.
class DevGroupFrameView : public ::testing::Test {
protected:
  void SetUp() override {
    WidgetTestApp();
    SetDeviceList(List.get());
    Page = std::make_unique<TFramedPage>();
    Page->FillDeviceList({oDeviceGroup});
    ASSERT_TRUE(Page->SelectDeviceByName("gdevi2c"));
    View = std::make_unique<TDevGroupFrameView>(*Page);
    View->resize(240, 320);
    View->show();
  }
  void TearDown() override {
    View.reset();
    Page.reset();
    SetDeviceList(nullptr);
  }

  QStringList Shown() const {
    QStringList texts;
    for (int i = 0; i < View->List()->count(); ++i)
      texts << View->List()->item(i)->text();
    return texts;
  }
  QStringList Model() const {
    QStringList texts;
    for (const std::string& t : Page->GroupList.Texts())
      texts << QString::fromStdString(t);
    return texts;
  }
  void Click(int row) {
    QListWidget* list = View->List();
    list->scrollToItem(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
    QApplication::processEvents();
  }

  std::unique_ptr<TDeviceList> List = CreateDeviceList();
  TRecorderServices Rec;
  TServicesScope Scope{Rec};
  std::unique_ptr<TFramedPage> Page;
  std::unique_ptr<TDevGroupFrameView> View;
};

TEST_F(DevGroupFrameView, ListsTheGroupInItsOrder) {
  EXPECT_EQ(Page->FrontFrame, "group");
  ASSERT_GT(Page->GroupList.Count(), 2);
  EXPECT_EQ(Shown(), Model());
  EXPECT_TRUE(View->objectName().startsWith("GroupDevBaseFrame_"));
  SaveScreenshot(View.get(), "groupframe");
}

TEST_F(DevGroupFrameView, AClickAttachesTheEntryUnderTheMouse) {
  for (const char* name : {"24C02", "24C16"}) {
    SCOPED_TRACE(name);
    const int row = Page->GroupList.IndexOf(name);
    ASSERT_GE(row, 0);
    TDevice* entry = Page->GroupList.Items[static_cast<std::size_t>(row)].Device;
    Click(row);
    ASSERT_EQ(Page->Device, entry);
    EXPECT_EQ(Page->DeviceSelectBox.Selected(), entry);
    // The group stays listed for the next choice.
    EXPECT_EQ(Shown(), Model());
  }
}

TEST_F(DevGroupFrameView, EnterAttachesTheCurrentEntry) {
  const int row = Page->GroupList.IndexOf("24C04");
  ASSERT_GE(row, 0);
  View->List()->setCurrentRow(row);
  View->List()->setFocus();
  QTest::keyClick(View->List(), Qt::Key_Return);
  QApplication::processEvents();
  ASSERT_NE(Page->Device, nullptr);
  EXPECT_EQ(Page->Device->Name, "24C04");
}

TEST_F(DevGroupFrameView, AnotherGroupRefillsTheList) {
  ASSERT_TRUE(Page->SelectDeviceByName("gdevspi"));
  View->Refresh();
  EXPECT_EQ(Shown(), Model());
  EXPECT_EQ(Shown().indexOf("24C02"), -1);
}

} // namespace
