#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolBar>

#include "cli/socketpart.h"
#include "devices/devbase.h"
#include "editor/ui/xhexeditview.h"
#include "families/ui/devgroupframeview.h"
#include "families/ui/e2memframeview.h"
#include "pagefixture.h"

// What a user can do to pages while devices, panels and queued refreshes still
// point at them: close one of two pages sharing a device, close the last page
// and start a new one, switch or close pages while a choice is on its way.
namespace {

std::vector<std::uint8_t> Pattern(int seed) {
  std::vector<std::uint8_t> v(256);
  for (std::size_t i = 0; i < v.size(); ++i)
    v[i] = static_cast<std::uint8_t>(seed + i * 5);
  return v;
}

std::vector<std::uint8_t> BufferOf(THepPage* page) {
  TXHexEdit& e = page->HexView()->Buffer();
  return std::vector<std::uint8_t>(e.Data(), e.Data() + e.DataSize());
}

// The edit really has the focus: its leaving runs as the page goes.
void FocusOn(QWidget* edit) {
  edit->window()->activateWindow();
  QApplication::processEvents();
  edit->setFocus();
  QApplication::processEvents();
  EXPECT_TRUE(edit->hasFocus()) << edit->objectName().toStdString();
}

const char* const ReadAll = "Reading: Success  Device: 24C02 Range: 0 - FF";

} // namespace

class PageLifetime : public TProgrammerPageTest {
protected:
  void Activate(THepPage* page) {
    Form->PageControl()->setCurrentWidget(page);
    Pump();
  }
  void CloseAll() {
    while (!Form->Pages().isEmpty()) {
      const qsizetype before = Form->Pages().size();
      Form->ClosePage();
      if (Form->Pages().size() == before) break; // a page refused: leave it to the fixture
    }
    Pump();
  }
  // Read on the page in front as the user does; the page's own buffer gets the part.
  void ExpectReadInto(THepPage* page, const std::vector<std::uint8_t>& image, const char* name) {
    ASSERT_EQ(Form->GetActivePage(), page) << name;
    ASSERT_EQ(page->Frames()->currentWidget(), page->MemoryFrameView()) << name;
    std::fill_n(page->HexView()->Buffer().Data(), page->HexView()->Buffer().DataSize(), 0);
    Form->ClearMessages();
    ClickFrameButton(page, "Read");
    ASSERT_FALSE(Lines().isEmpty()) << name;
    EXPECT_EQ(Lines().last().toStdString(), ReadAll) << name;
    EXPECT_EQ(BufferOf(page), image) << name;
  }
};

TEST_F(PageLifetime, ClosingOneOfTwoPagesSharingADeviceLeavesTheOtherReading) {
  enum TClose { CloseCommand, ViewCloseInFront, ViewCloseBehind };
  struct {
    const char* Name;
    bool CloseOlder;
    TClose How;
  } const cases[] = {
      {"the newer page closes with the Close command", false, CloseCommand},
      {"the older page closes with the Close command", true, CloseCommand},
      {"the newer page closes from its editor", false, ViewCloseInFront},
      {"the older page closes from its editor while the newer is in front", true, ViewCloseBehind},
      {"the newer page closes from its editor while the older is in front", false, ViewCloseBehind},
  };
  int seed = 1;
  for (const auto& c : cases) {
    THepPage* older = PageWith("24C02");
    THepPage* newer = PageWith("24C02");
    ASSERT_TRUE(older && newer) << c.Name;
    const std::vector<std::uint8_t> image = Pattern(seed++);
    LoadPart(image);
    THepPage* gone = c.CloseOlder ? older : newer;
    THepPage* kept = c.CloseOlder ? newer : older;
    // The page that goes used the device last.
    Activate(gone);
    if (c.How == ViewCloseBehind) Activate(kept);
    QPointer<THepPage> watch(gone);
    if (c.How == CloseCommand)
      Form->ClosePage();
    else
      gone->HexView()->OnClose();
    Pump();
    ASSERT_TRUE(watch.isNull()) << c.Name;
    ASSERT_EQ(Form->Pages().size(), 1) << c.Name;
    // The page in front keeps the window's commands.
    EXPECT_TRUE(Form->QtAction("SelectAllAction")->isEnabled()) << c.Name;
    EXPECT_TRUE(Form->QtAction("CloseAction")->isEnabled()) << c.Name;
    ExpectReadInto(kept, image, c.Name);
    // A script's press on the page in front does the same.
    Form->ClearMessages();
    EXPECT_TRUE(kept->PressReadButton()) << c.Name;
    Pump();
    EXPECT_EQ(Lines().last().toStdString(), ReadAll) << c.Name;
    CloseAll();
  }
}

TEST_F(PageLifetime, ANewPageAfterTheLastOneClosedReadsTheDeviceChosenBefore) {
  struct {
    const char* Name;
    bool FromEditor;
  } const cases[] = {
      {"closed with the Close command", false},
      {"closed from its editor", true},
  };
  int seed = 20;
  for (const auto& c : cases) {
    THepPage* first = PageWith("24C02");
    ASSERT_NE(first, nullptr) << c.Name;
    TDevice* device = first->Device;
    if (c.FromEditor)
      first->HexView()->OnClose();
    else
      Form->ClosePage();
    Pump();
    ASSERT_TRUE(Form->Pages().isEmpty()) << c.Name;
    // Nothing of the closed page is left with the device.
    EXPECT_EQ(device->HepPage, nullptr) << c.Name;
    EXPECT_EQ(device->XHexEdit, nullptr) << c.Name;

    THepPage* next = NewPage();
    ASSERT_NE(next, nullptr) << c.Name;
    EXPECT_EQ(next->Device, device) << c.Name;
    EXPECT_EQ(next->DeviceBox()->currentText(), "24C02") << c.Name;
    const std::vector<std::uint8_t> image = Pattern(seed++);
    LoadPart(image);
    ExpectReadInto(next, image, c.Name);
    CloseAll();
  }
}

TEST_F(PageLifetime, AChoiceOnItsWayWhileThePageIsLeftOrClosed) {
  // Each case makes a choice on one page whose widgets follow later (queued),
  // leaves or closes that page before they do, then reads on the other page.
  struct {
    const char* Name;
    bool CloseChooser;         // else the other page comes to the front
    void (*Choose)(THepPage*); // the choice, not yet followed by the event loop
  } const cases[] = {
      {"group list entry, then the other page in front", false,
       [](THepPage* p) {
         p->DeviceBox()->activated(0); // back to the groups first
         QApplication::processEvents();
         QListWidget* list = p->GroupFrameView()->List();
         emit list->itemClicked(list->findItems("24C02", Qt::MatchExactly).first());
       }},
      {"group list entry, then the page closed", true,
       [](THepPage* p) {
         p->DeviceBox()->activated(0);
         QApplication::processEvents();
         QListWidget* list = p->GroupFrameView()->List();
         emit list->itemClicked(list->findItems("24C02", Qt::MatchExactly).first());
       }},
      {"device box entry, then the page closed", true,
       [](THepPage* p) { emit p->DeviceBox()->activated(p->DeviceBox()->findText("24C04")); }},
      {"device box entry, then the other page in front", false,
       [](THepPage* p) { emit p->DeviceBox()->activated(p->DeviceBox()->findText("24C04")); }},
      {"attached at once, its panels still to follow, then the page closed", true,
       [](THepPage* p) { p->SelectDeviceItem(p->DeviceBox()->findText("24C04")); }},
      {"the data edit has the focus as the page closes", true,
       [](THepPage* p) { FocusOn(p->DataEdit()); }},
      {"the find edit has the focus as the page closes", true,
       [](THepPage* p) {
         p->FindBar()->show();
         FocusOn(p->FindEdit());
       }},
  };
  int seed = 40;
  for (const auto& c : cases) {
    TDevicePage::LastSelectedID = "gdevall"; // each case starts as the program does
    THepPage* other = PageWith("24C02");
    THepPage* chooser = PageWith("24C02");
    ASSERT_TRUE(other && chooser) << c.Name;
    const std::vector<std::uint8_t> image = Pattern(seed++);
    c.Choose(chooser);
    QPointer<THepPage> watch(chooser);
    if (c.CloseChooser) {
      Form->ClosePage();
    } else {
      Form->PageControl()->setCurrentWidget(other);
    }
    Pump();
    EXPECT_EQ(watch.isNull(), c.CloseChooser) << c.Name;
    ASSERT_EQ(Form->GetActivePage(), other) << c.Name;
    // The socket holds what the page in front reads.
    std::string error;
    ASSERT_TRUE(Session->InsertPart(SocketSpecOf(*other->Device), error)) << error;
    LoadPart(image);
    ExpectReadInto(other, image, c.Name);
    if (!c.CloseChooser) {
      // Back on the page that chose: its own device, panels and buffer.
      Activate(chooser);
      EXPECT_EQ(chooser->Frames()->currentWidget(), chooser->MemoryFrameView()) << c.Name;
      EXPECT_EQ(chooser->DeviceBox()->currentText(), QString::fromStdString(chooser->Device->Name))
          << c.Name;
    }
    CloseAll();
  }
}

TEST_F(PageLifetime, TwoNewPagesEachChooseFromTheirOwnGroupList) {
  // Both start on the list of all devices; the older one, brought back to the
  // front, gets what is clicked in its own list.
  THepPage* older = NewPage();
  THepPage* newer = NewPage();
  ASSERT_TRUE(older && newer);
  TDevice* group = newer->Device;
  ASSERT_EQ(older->Device, group);
  Activate(older);
  ChooseInGroupList(older, "24C02");
  ASSERT_NE(older->Device, nullptr);
  EXPECT_EQ(older->Device->Name, "24C02");
  EXPECT_EQ(older->DeviceBox()->currentText(), "24C02");
  EXPECT_EQ(newer->Device, group);
  EXPECT_EQ(newer->Frames()->currentWidget(), newer->GroupFrameView());
  const std::vector<std::uint8_t> image = Pattern(60);
  LoadPart(image);
  ExpectReadInto(older, image, "the older page");
}
