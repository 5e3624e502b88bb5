#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "editor/ui/replaceform.h"
#include "editor/ui/xhexeditview.h"
#include "families/ui/e2memframeview.h"
#include "pagefixture.h"
#include "shell/hexeditopt.h"

namespace {

std::vector<std::uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                   std::istreambuf_iterator<char>());
}

} // namespace

class PageEditing : public TProgrammerPageTest {
protected:
  // A new page whose buffer holds the bytes (a group entry attached: no device sizes it).
  THepPage* PageHolding(const std::vector<std::uint8_t>& bytes) {
    THepPage* page = NewPage();
    if (!page) return nullptr;
    TXHexEdit& e = page->HexView()->Buffer();
    e.NewData("Untited1", static_cast<int32_t>(bytes.size()) - 1);
    std::copy(bytes.begin(), bytes.end(), e.Data());
    page->RefreshStatusPanel();
    return page;
  }
  TXHexEdit& Buf(THepPage* page) { return page->HexView()->Buffer(); }
};

TEST_F(PageEditing, UndoAndRedoThroughTheMainWindowsActions) {
  THepPage* page = PageHolding({0x10, 0x20, 0x30, 0x40});
  ASSERT_NE(page, nullptr);
  QAction* undo = Form->QtAction("UndoAction");
  QAction* redo = Form->QtAction("RedoAction");
  EXPECT_FALSE(undo->isEnabled());
  Buf(page).SetCaretOffset(1);
  Type(page->HexView(), "99");
  EXPECT_EQ(Buf(page).Data()[1], 0x99);
  EXPECT_TRUE(undo->isEnabled());
  EXPECT_FALSE(redo->isEnabled());
  EXPECT_TRUE(Form->windowTitle().endsWith(" [Modified]")) << Form->windowTitle().toStdString();

  // Each typed digit is a step of its own.
  undo->trigger();
  undo->trigger();
  EXPECT_EQ(Buf(page).Data()[1], 0x20);
  EXPECT_TRUE(redo->isEnabled());
  redo->trigger();
  redo->trigger();
  EXPECT_EQ(Buf(page).Data()[1], 0x99);

  // Another page's tab takes the actions over; coming back gives them back.
  THepPage* other = PageHolding({1, 2});
  ASSERT_NE(other, nullptr);
  EXPECT_FALSE(undo->isEnabled());
  Form->PageControl()->setCurrentWidget(page);
  Pump();
  EXPECT_TRUE(undo->isEnabled());
  undo->trigger();
  undo->trigger();
  EXPECT_EQ(Buf(page).Data()[1], 0x20);
  EXPECT_EQ(Buf(other).Data()[1], 2);
}

TEST_F(PageEditing, FindAndReplaceThroughTheFindBar) {
  THepPage* page = PageHolding({0x00, 0x12, 0x34, 0x00, 0x12, 0x34, 0x12});
  ASSERT_NE(page, nullptr);
  // The bar follows the shared action.
  EXPECT_TRUE(page->FindBar()->isHidden());
  page->Button("FindBarBtn")->click();
  EXPECT_FALSE(page->FindBar()->isHidden());
  EXPECT_TRUE(Form->QtAction("FindBarAction")->isChecked());

  QToolButton* next = page->Button("NextBtn");
  EXPECT_FALSE(next->isEnabled());
  Type(page->FindEdit(), "12 3");
  // The lone last digit waits for the next key.
  EXPECT_EQ(page->FindReplace.FindPattern, std::string("\x12", 1));
  Type(page->FindEdit(), "4");
  EXPECT_EQ(page->FindReplace.FindPattern, std::string("\x12\x34", 2));
  EXPECT_TRUE(next->isEnabled());
  EXPECT_FALSE(page->Button("ReplaceAllBtn")->isEnabled());

  next->click();
  int32_t first = 0, last = 0;
  ASSERT_TRUE(Buf(page).NormalisedSelection(first, last));
  EXPECT_EQ(first, 1);
  next->click();
  ASSERT_TRUE(Buf(page).NormalisedSelection(first, last));
  EXPECT_EQ(first, 4);
  Asked.clear();
  next->click();
  EXPECT_EQ(Asked, (std::vector<std::string>{"Warning|String or Hex Data not Found"}));

  // Every replacement asks while the Replace dialog's box is checked.
  Type(page->ReplaceEdit(), "AB");
  ASSERT_TRUE(page->Button("ReplaceAllBtn")->isEnabled());
  ReplaceForm().PromptBox->setChecked(true);
  Answers = {TAnswer::No, TAnswer::Yes};
  Asked.clear();
  page->Button("ReplaceAllBtn")->click();
  EXPECT_EQ(std::vector<std::uint8_t>(Buf(page).Data(), Buf(page).Data() + Buf(page).DataSize()),
            (std::vector<std::uint8_t>{0x00, 0x12, 0x34, 0x00, 0xAB, 0x12}));
  EXPECT_EQ(std::count(Asked.begin(), Asked.end(), "Confirm|Replace?"), 2);

  // An invalid token clears the edit and beeps.
  Beeps = 0;
  page->FindEdit()->clear();
  Type(page->FindEdit(), "1G");
  EXPECT_TRUE(page->FindEdit()->text().isEmpty());
  EXPECT_EQ(Beeps, 1);
  EXPECT_FALSE(next->isEnabled());

  // Text mode: the edits are rewritten from the patterns.
  Type(page->FindEdit(), "41 ");
  page->Button("FindHexBtn")->click();
  EXPECT_EQ(page->Button("FindHexBtn")->text(), "Text");
  EXPECT_EQ(page->FindEdit()->text(), "A");
  EXPECT_EQ(page->ReplaceEdit()->text(), QString::fromLatin1("\xAB"));
  page->Button("FindHexBtn")->click();
  EXPECT_EQ(page->FindEdit()->text(), "41 ");
  ReplaceForm().PromptBox->setChecked(true);
}

TEST_F(PageEditing, TheReplaceDialogRunsOnThePagesBuffer) {
  THepPage* page = PageHolding({0x41, 0x61, 0x42, 0x41});
  ASSERT_NE(page, nullptr);
  TReplaceForm1& dialog = ReplaceForm();
  dialog.SetHexMode(true);
  dialog.FindEdit->setText("41 ");
  dialog.ReplaceEdit->setText("5A ");
  dialog.PromptBox->setChecked(false);
  dialog.ExecHook = [](QDialog&) { return int(QDialog::Accepted); };
  Form->QtAction("ReplaceFormAction")->trigger();
  dialog.ExecHook = nullptr;
  dialog.PromptBox->setChecked(true);
  EXPECT_EQ(std::vector<std::uint8_t>(Buf(page).Data(), Buf(page).Data() + 4),
            (std::vector<std::uint8_t>{0x5A, 0x61, 0x42, 0x5A}));
}

TEST_F(PageEditing, StatusPanelMonitorGoToAndCurrentData) {
  THepPage* page = PageHolding({0x12, 0x34, 0x56, 0x78, 0x9A});
  ASSERT_NE(page, nullptr);
  page->Button("MonitorBarBtn")->click();
  EXPECT_FALSE(page->MonitorBar()->isHidden());
  EXPECT_EQ(page->SizeEdit()->text(), "000005h");
  EXPECT_EQ(page->MonitorEdit()->text(), "18  18");

  QToolButton* length = page->Button("MonitorLengthBtn");
  QToolButton* order = page->Button("MonitorOrderBtn");
  length->click();
  EXPECT_EQ(length->text(), "16 bits");
  EXPECT_EQ(page->MonitorEdit()->text(), "13330  13330");
  order->click();
  EXPECT_EQ(order->text(), "Motorola");
  EXPECT_EQ(page->MonitorEdit()->text(), "4660  4660");
  // At the last byte the bytes beyond count as 0.
  Buf(page).SetCaretOffset(4);
  EXPECT_EQ(page->MonitorEdit()->text(), "39424  -26112");
  length->click();
  length->click();
  EXPECT_EQ(length->text(), "64 bits");
  EXPECT_TRUE(
      page->MonitorEdit()->text().startsWith("11096869481840902144  -7349874591868649472  "))
      << page->MonitorEdit()->text().toStdString();

  // Go to: Enter in the offset edit; beyond the end the caret stops at the end.
  Beeps = 0;
  QLineEdit* offset = page->OffsetEdit();
  offset->setFocus();
  offset->selectAll();
  Type(offset, "2");
  PressKey(offset, Qt::Key_Return);
  EXPECT_EQ(Buf(page).CaretOffset(), 2);
  EXPECT_EQ(page->DataEdit()->text().left(2), "56");
  offset->selectAll();
  Type(offset, "FFF");
  PressKey(offset, Qt::Key_Return);
  EXPECT_EQ(Buf(page).CaretOffset(), 5);
  offset->selectAll();
  Type(offset, "G");
  PressKey(offset, Qt::Key_Return);
  EXPECT_EQ(Buf(page).CaretOffset(), 5);
  EXPECT_EQ(Beeps, 1);

  // The offset button changes the notation and the edit's mask.
  page->Button("OffsetBtn")->click();
  EXPECT_EQ(offset->text(), "00000005");

  // Current data: stored without an undo step, Modified or a mark.
  Buf(page).SetModified(false);
  Buf(page).SetCaretOffset(0);
  QLineEdit* data = page->DataEdit();
  data->setFocus();
  data->selectAll();
  Type(data, "EE");
  PressKey(data, Qt::Key_Return);
  EXPECT_EQ(Buf(page).Data()[0], 0xEE);
  EXPECT_EQ(Buf(page).CaretOffset(), 1);
  EXPECT_FALSE(Buf(page).Modified());
  EXPECT_FALSE(Buf(page).CanUndo());
  EXPECT_EQ(page->ModifiedList.Count(), 0);

  page->Button("SizeBtn")->click();
  EXPECT_EQ(page->SizeEdit()->text(), "00000005");
  page->Button("CrcBtn")->click();
  EXPECT_TRUE(page->CrcEdit()->text().endsWith("h"));
  EXPECT_EQ(page->CrcEdit()->text().size(), 9);
  page->Button("InsertBtn")->click();
  EXPECT_EQ(page->Button("InsertBtn")->text(), "Insert");
  page->Button("InsertBtn")->click();
  EXPECT_EQ(page->Button("InsertBtn")->text(), "Over");
}

TEST_F(PageEditing, MarksFollowTheSelectionWhileProgramModifiedOnly) {
  THepPage* page = PageHolding(std::vector<std::uint8_t>(16, 0));
  ASSERT_NE(page, nullptr);
  QAction* mark = Form->QtAction("MarkModifiedAction");
  QAction* unmark = Form->QtAction("UnmarkModifiedAction");
  Buf(page).SetSelection(true, 6, 3);
  EXPECT_FALSE(mark->isEnabled()); // marks are collected only in that mode
  page->ProgramModifiedOnlyClick(true);
  EXPECT_TRUE(mark->isEnabled());
  mark->trigger();
  EXPECT_EQ(page->ModifiedList.Count(), 4);
  EXPECT_EQ(page->ModifiedList.Offset(0), 3);
  EXPECT_FALSE(Buf(page).SelActive());
  EXPECT_TRUE(unmark->isEnabled());
  unmark->trigger();
  EXPECT_EQ(page->ModifiedList.Count(), 0);
  EXPECT_FALSE(unmark->isEnabled());
}

TEST_F(PageEditing, OpeningASmallFileIntoALargerBufferKeepsItsLength) {
  THepPage* page = PageHolding(std::vector<std::uint8_t>(2048, 0xA5));
  ASSERT_NE(page, nullptr);
  const std::vector<std::uint8_t> file = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  const std::string path = PathOf("ten.bin");
  WriteFile(path, file);
  Form->OpenFileInSamePage = true;
  Buf(page).SetModified(true);
  Answers = {TAnswer::No};
  Asked.clear();
  Form->OpenFileByExtension(path);
  EXPECT_EQ(Asked, (std::vector<std::string>{"Warning|Save changes to Untited1?"}));
  EXPECT_EQ(Form->GetActivePage(), page);
  EXPECT_EQ(Buf(page).DataSize(), 2048);
  EXPECT_EQ(std::vector<std::uint8_t>(Buf(page).Data(), Buf(page).Data() + 10), file);
  EXPECT_EQ(Buf(page).FileName(), path);
  EXPECT_EQ(page->Caption(), "ten");
}

TEST_F(PageEditing, AFailedOpenDropsOnlyAPageMadeForIt) {
  THepPage* page = PageHolding({7, 8, 9});
  ASSERT_NE(page, nullptr);
  const std::string missing = PathOf("missing.bin");

  // A new page for the file: it goes, the other stays.
  Form->OpenFileInSamePage = false;
  Asked.clear();
  Form->OpenFileByExtension(missing);
  EXPECT_EQ(Form->Pages().size(), 1);
  EXPECT_EQ(Form->GetActivePage(), page);
  EXPECT_EQ(Asked, (std::vector<std::string>{"Warning|I/O Error "}));

  // The page itself opening it: it stays, with its bytes.
  Form->OpenFileInSamePage = true;
  Asked.clear();
  Form->OpenFileByExtension(missing);
  EXPECT_EQ(Form->Pages().size(), 1);
  EXPECT_EQ(Form->GetActivePage(), page);
  EXPECT_EQ(Asked, (std::vector<std::string>{"Warning|I/O Error "}));
  EXPECT_EQ(std::vector<std::uint8_t>(Buf(page).Data(), Buf(page).Data() + Buf(page).DataSize()),
            (std::vector<std::uint8_t>{7, 8, 9}));
}

TEST_F(PageEditing, DroppingAFileOnAModifiedPageAsksToSaveFirst) {
  const std::string dropped = PathOf("dropped.bin");
  WriteFile(dropped, {0xD0, 0xD1});
  struct {
    const char* Name;
    TAnswer Answer;
    bool SaveAsChosen;
    bool Replaced;
    bool Saved;
  } const cases[] = {
      {"yes, saved under a name", TAnswer::Yes, true, true, true},
      {"yes, but the name dialog cancelled", TAnswer::Yes, false, false, false},
      {"no", TAnswer::No, false, true, false},
  };
  int n = 0;
  for (const auto& c : cases) {
    THepPage* page = PageHolding({1, 2, 3});
    ASSERT_NE(page, nullptr);
    Buf(page).SetCaretOffset(0);
    Type(page->HexView(), "77");
    const std::string saved = PathOf("saved" + std::to_string(++n) + ".bin");
    page->AskSaveName = [&](const QString&, const QString&, const QString& suffix) {
      EXPECT_EQ(suffix, "bin") << c.Name;
      return c.SaveAsChosen ? QString::fromStdString(saved) : QString();
    };
    Answers = {c.Answer};
    Asked.clear();
    page->HexView()->DropFiles({dropped});
    ASSERT_EQ(Asked.size(), 1u) << c.Name;
    EXPECT_EQ(Asked[0].rfind("Warning|Save changes to ", 0), 0u) << c.Name;
    EXPECT_EQ(std::filesystem::exists(saved), c.Saved) << c.Name;
    if (c.Saved) {
      EXPECT_EQ(ReadFile(saved), (std::vector<std::uint8_t>{0x77, 2, 3})) << c.Name;
    }
    if (c.Replaced) {
      EXPECT_EQ(Buf(page).DataSize(), 2) << c.Name;
      EXPECT_EQ(page->Caption(), "dropped") << c.Name;
    } else {
      EXPECT_EQ(Buf(page).Data()[0], 0x77) << c.Name;
      EXPECT_TRUE(Buf(page).Modified()) << c.Name;
    }
  }
}

TEST_F(PageEditing, SaveAsForANewPageAndCloseQuery) {
  THepPage* page = NewPage();
  ASSERT_NE(page, nullptr);
  EXPECT_TRUE(page->NeverSaved);
  Buf(page).NewData(Buf(page).FileName(), 3);
  Buf(page).SetCaretOffset(0);
  Type(page->HexView(), "42");
  const std::string path = PathOf("saved.bin");
  QString askedName, askedFilter;
  page->AskSaveName = [&](const QString& name, const QString& filter, const QString&) {
    askedName = name;
    askedFilter = filter;
    return QString::fromStdString(path);
  };
  Form->QtAction("SaveAction")->trigger();
  EXPECT_TRUE(askedName.startsWith("Untited")) << askedName.toStdString();
  EXPECT_TRUE(askedFilter.startsWith("Any File (*.*)|*.*|Binary file (*.bin)|*.bin|"));
  EXPECT_EQ(ReadFile(path)[0], 0x42);
  EXPECT_FALSE(page->NeverSaved);
  EXPECT_EQ(page->Caption(), "saved");
  EXPECT_EQ(Form->RecentFiles().Items().front(), path);
  EXPECT_FALSE(Buf(page).Modified());

  // Closing a modified page: Cancel keeps it, No lets it go.
  Type(page->HexView(), "43");
  Answers = {TAnswer::Cancel};
  Form->ClosePage();
  EXPECT_EQ(Form->Pages().size(), 1);
  Answers = {TAnswer::No};
  Form->ClosePage();
  EXPECT_TRUE(Form->Pages().isEmpty());
}

TEST_F(PageEditing, NewPagesTakeTheOptions) {
  THexEditOptions options;
  options.BytePerLine = 8;
  options.ModifiedColor = 0x00FF00; // green
  THepPage::HexOptions = &options;
  THepPage::ProgramModifiedOnlyDef = true;
  THepPage* page = NewPage(); // the fixture puts both back
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(page->HexView()->BytesPerLine(), 8);
  EXPECT_TRUE(page->ProgramModifiedOnly);
  EXPECT_TRUE(page->MemoryFrameView()->ProgramModifiedOnlyBox()->isChecked());
  Buf(page).NewData("n", 3);
  Buf(page).SetCaretOffset(2);
  Type(page->HexView(), "11");
  EXPECT_TRUE(page->ModifiedList.Contains(2));
  QColor colour;
  ASSERT_TRUE(page->HexView()->OnDrawText(2, colour));
  EXPECT_EQ(colour, QColor(0, 255, 0));
}
