#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>

#include "devices/devlist.h"
#include "devices/taskexec.h"
#include "editor/ui/xhexeditview.h"
#include "families/placeholders.h"
#include "families/ui/devgroupframeview.h"
#include "families/ui/e2memframeview.h"
#include "families/ui/hc05bconframeview.h"
#include "pagefixture.h"
#include "support/widgettest.h"

namespace {

std::vector<std::uint8_t> Pattern(std::size_t size, int seed) {
  std::vector<std::uint8_t> v(size);
  for (std::size_t i = 0; i < size; ++i)
    v[i] = static_cast<std::uint8_t>(seed + i * 7);
  return v;
}

std::vector<std::uint8_t> BufferOf(THepPage* page) {
  TXHexEdit& e = page->HexView()->Buffer();
  return std::vector<std::uint8_t>(e.Data(), e.Data() + e.DataSize());
}

} // namespace

class ProgrammerPage : public TProgrammerPageTest {
protected:
  // Types a range into the memory panel's edits as the user does.
  void SetRange(THepPage* page, const QString& start, const QString& end) {
    // Start 0 first, so that no end is refused for lying below the old start.
    TE2MemoryFrameView* frame = page->MemoryFrameView();
    for (auto [edit, text] :
         {std::pair{frame->StartEdit(), QStringLiteral("0")}, std::pair{frame->EndEdit(), end},
          std::pair{frame->StartEdit(), start}}) {
      edit->setFocus();
      edit->selectAll();
      Type(edit, text);
    }
  }
  // Types hex digits into the view at an offset (overwrite mode).
  void TypeAt(THepPage* page, int32_t offset, const QString& digits) {
    page->HexView()->Buffer().SetCaretOffset(offset);
    Type(page->HexView(), digits);
  }
};

TEST_F(ProgrammerPage, ChoosingA24C02AndReadingShowsThePartsBytesAndTheResultLine) {
  THepPage* page = PageWith("24C02");
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->DeviceBox()->currentText(), "24C02");
  EXPECT_EQ(page->DeviceBox()->itemText(0), "...");
  EXPECT_EQ(page->Frames()->currentWidget(), page->MemoryFrameView());
  EXPECT_FALSE(page->DeviceInfoLabel()->text().isEmpty());
  EXPECT_EQ(page->MemoryFrameView()->EndEdit()->text(), "FF");
  EXPECT_EQ(page->ConnectionFrameView()->PinLabel(5), "6 - DATA");

  const std::vector<std::uint8_t> image = Pattern(256, 3);
  LoadPart(image);

  // A part of the memory first: only that range reaches the buffer.
  page->HexView()->Buffer().SetLastIndex(255);
  std::fill_n(page->HexView()->Buffer().Data(), 256, 0);
  SetRange(page, "10", "8F");
  EXPECT_EQ(page->E2MemoryFrame.RangeStart, 0x10);
  EXPECT_EQ(page->E2MemoryFrame.RangeEnd, 0x8F);
  Form->ClearMessages();
  ClickFrameButton(page, "Read");
  EXPECT_EQ(Lines().last(), "Reading: Success  Device: 24C02 Range: 10 - 8F");
  std::vector<std::uint8_t> buffer = BufferOf(page);
  EXPECT_EQ(buffer[0x0F], 0);
  EXPECT_EQ(buffer[0x10], image[0x10]);
  EXPECT_EQ(buffer[0x8F], image[0x8F]);
  EXPECT_EQ(buffer[0x90], 0);

  SetRange(page, "0", "FF");
  ClickFrameButton(page, "Read");
  EXPECT_EQ(Lines().last(), "Reading: Success  Device: 24C02 Range: 0 - FF");
  EXPECT_EQ(BufferOf(page), image);
  EXPECT_EQ(Form->Holds, (std::vector<int>{1500, 1500}));
  // The status panel shows the byte at the caret as read.
  page->HexView()->Buffer().SetCaretOffset(1);
  EXPECT_EQ(page->DataEdit()->text().left(2),
            QString("%1").arg(image[1], 2, 16, QChar('0')).toUpper());
  // The pins were measured during the read.
  EXPECT_FALSE(page->ConnectionFrameView()->PinValue(0).isEmpty());

  Form->QtAction("MonitorBarAction")->trigger();
  Form->QtAction("FindBarAction")->trigger();
  Pump();
  SaveScreenshot(Form.get(), "programmerpage");
  page->RightTabs()->setCurrentIndex(1);
  SaveScreenshot(Form.get(), "programmerpage_connections");
}

TEST_F(ProgrammerPage, ProgramModifiedOnlyWritesJustTheTypedBytes) {
  THepPage* page = PageWith("24C02");
  ASSERT_NE(page, nullptr);
  const std::vector<std::uint8_t> image = Pattern(256, 40);
  LoadPart(image);
  ClickFrameButton(page, "Read");

  page->MemoryFrameView()->ProgramModifiedOnlyBox()->click();
  EXPECT_TRUE(page->ProgramModifiedOnly);
  TypeAt(page, 0x20, "AB");
  TypeAt(page, 0x21, "CD");
  EXPECT_EQ(page->ModifiedList.Count(), 2);
  // A byte stored through the data edit is no mark: it stays in the buffer only.
  page->HexView()->Buffer().SetCaretOffset(0x40);
  page->DataEdit()->setFocus();
  EXPECT_TRUE(page->EnterCurrentData("EE"));
  EXPECT_EQ(page->ModifiedList.Count(), 2);

  QColor colour;
  EXPECT_TRUE(page->HexView()->OnDrawHex(0x20, colour));
  EXPECT_EQ(colour, QColor(255, 0, 0));
  EXPECT_FALSE(page->HexView()->OnDrawHex(0x40, colour));

  Answers = {TAnswer::Yes};
  Asked.clear();
  ClickFrameButton(page, "Program");
  EXPECT_EQ(Asked, (std::vector<std::string>{"Confirm|Program?"}));
  EXPECT_EQ(Lines().last(), "Programming: Success  Device: 24C02 Range: 0 - FF");
  std::vector<std::uint8_t> expected = image;
  expected[0x20] = 0xAB;
  expected[0x21] = 0xCD;
  EXPECT_EQ(PartContents(), expected);

  // Unchecking drops the marks.
  page->MemoryFrameView()->ProgramModifiedOnlyBox()->click();
  EXPECT_FALSE(page->ProgramModifiedOnly);
  EXPECT_EQ(page->ModifiedList.Count(), 0);
}

TEST_F(ProgrammerPage, VerifyReportsTheOneDifference) {
  THepPage* page = PageWith("24C02");
  ASSERT_NE(page, nullptr);
  const std::vector<std::uint8_t> image = Pattern(256, 9);
  LoadPart(image);
  ClickFrameButton(page, "Read");
  ClickFrameButton(page, "Verify");
  EXPECT_EQ(Lines().last(), "Verifying: Success  Device: 24C02 Range: 0 - FF");

  TypeAt(page, 5, "5A");
  Form->ClearMessages();
  ClickFrameButton(page, "Verify");
  const QString read = QString("%1").arg(image[5], 2, 16, QChar('0')).toUpper();
  EXPECT_EQ(Lines(), (QStringList{"Verify Error [5] = 5A read " + read,
                                  "Verifying:  1 Errors Found  Device: 24C02 Range: 0 - FF"}));
}

TEST_F(ProgrammerPage, ProgramThenReadOnAnotherPageShowsTheDataKeptInThePart) {
  THepPage* first = PageWith("24C02");
  ASSERT_NE(first, nullptr);
  TXHexEdit& buffer = first->HexView()->Buffer();
  for (int i = 0; i < 256; ++i)
    buffer.Data()[i] = static_cast<std::uint8_t>(255 - i);
  TaskForm().ProgramConfirmation = false;
  ClickFrameButton(first, "Program");
  EXPECT_EQ(Lines().last(), "Programming: Success  Device: 24C02 Range: 0 - FF");

  // Choosing the same device again keeps the part and what it holds.
  THepPage* second = PageWith("24C02");
  ASSERT_NE(second, nullptr);
  ClickFrameButton(second, "Read");
  EXPECT_EQ(BufferOf(second), BufferOf(first));
}

TEST_F(ProgrammerPage, TwoPagesSharingADeviceEachUseTheirOwnRangeAndBuffer) {
  THepPage* a = PageWith("24C02");
  THepPage* b = PageWith("24C02");
  ASSERT_TRUE(a && b);
  LoadPart(Pattern(256, 1));
  SetRange(b, "80", "FF");
  std::fill_n(a->HexView()->Buffer().Data(), 256, 0);
  std::fill_n(b->HexView()->Buffer().Data(), 256, 0);

  Form->PageControl()->setCurrentWidget(a);
  Pump();
  SetRange(a, "0", "F");
  ClickFrameButton(a, "Read");
  EXPECT_EQ(Lines().last(), "Reading: Success  Device: 24C02 Range: 0 - 0F");
  EXPECT_EQ(a->HexView()->Buffer().Data()[0], 1);
  EXPECT_EQ(b->HexView()->Buffer().Data()[0], 0);

  Form->PageControl()->setCurrentWidget(b);
  Pump();
  ClickFrameButton(b, "Read");
  EXPECT_EQ(Lines().last(), "Reading: Success  Device: 24C02 Range: 80 - FF");
  EXPECT_EQ(b->HexView()->Buffer().Data()[0], 0);
  EXPECT_NE(b->HexView()->Buffer().Data()[0x80], 0);
  EXPECT_EQ(a->HexView()->Buffer().Data()[0x80], 0);
  EXPECT_EQ(a->E2MemoryFrame.RangeEnd, 0x0F);
}

TEST_F(ProgrammerPage, DeviceBoxExitEntryAndTheAllDevicesButton) {
  THepPage* page = PageWith("24C02");
  ASSERT_NE(page, nullptr);
  const int sibling = page->DeviceBox()->findText("24C04");
  ASSERT_GT(sibling, 0);
  emit page->DeviceBox()->activated(sibling);
  Pump();
  EXPECT_EQ(page->Device->Name, "24C04");
  EXPECT_EQ(page->DeviceBox()->currentText(), "24C04");
  EXPECT_EQ(page->HexView()->Buffer().DataSize(), 512);
  EXPECT_EQ(page->MemoryFrameView()->EndEdit()->text(), "1FF");

  // "..." goes back to the groups, with all devices listed.
  emit page->DeviceBox()->activated(0);
  Pump();
  EXPECT_EQ(page->DeviceBox()->currentText(), "All Devices");
  EXPECT_EQ(page->Frames()->currentWidget(), page->GroupFrameView());

  ChooseInGroupList(page, "24C02");
  page->AllDevicesButton()->click();
  Pump();
  EXPECT_EQ(page->DeviceBox()->currentText(), "All Devices");
  EXPECT_EQ(page->HexView()->Buffer().DataSize(), page->HexView()->Buffer().Capacity());
}

TEST_F(ProgrammerPage, AFamilyWithoutItsPanelHidesTheMemoryPanel) {
  THepPage* page = PageWith("24C02");
  ASSERT_NE(page, nullptr);
  // Back to all devices, then a microcontroller whose family is not built.
  emit page->DeviceBox()->activated(0);
  Pump();
  std::string name;
  for (int i = 0; i < page->GroupList.Count() && name.empty(); ++i)
    if (dynamic_cast<TPlaceholderDevice*>(
            page->GroupList.Items[static_cast<std::size_t>(i)].Device))
      name = page->GroupList.Items[static_cast<std::size_t>(i)].Text;
  ASSERT_FALSE(name.empty());
  ChooseInGroupList(page, QString::fromStdString(name));
  EXPECT_EQ(page->DeviceBox()->currentText().toStdString(), name);
  EXPECT_EQ(page->Frames()->currentWidget(), page->NotBuiltLabel());
  EXPECT_TRUE(page->NotBuiltLabel()->text().contains("not built"))
      << page->NotBuiltLabel()->text().toStdString();
  EXPECT_FALSE(page->PressReadButton());
}
