#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QProgressBar>
#include <QPushButton>
#include <memory>

#include "editor/ui/compareform.h"
#include "editor/ui/editortools.h"
#include "editor/ui/hexdecform.h"
#include "shell/ui/msgpanel.h"
#include "support/widgettest.h"
#include "testpage.h"

namespace {

QStringList Strings(std::initializer_list<const char*> lines) {
  QStringList list;
  for (const char* line : lines)
    list << QString::fromLatin1(line);
  return list;
}

class CompareFormTest : public ::testing::Test {
protected:
  void SetUp() override {
    WidgetTestApp();
    Form = std::make_unique<TMainForm>();
    SetServices(Form.get());
    RegisterTestProgrammerPage(*Form);
    InstallEditorTools(*Form);
    Compare = CompareFormOf(*Form);
    ASSERT_NE(Compare, nullptr);
  }
  void TearDown() override {
    SetServices(nullptr);
    Form.reset();
  }

  TTestProgrammerPage* NewPage(const std::string& name, const std::vector<uint8_t>& bytes) {
    auto* page = static_cast<TTestProgrammerPage*>(Form->NewPage(TPageKind::Programmer));
    page->Fill(name, bytes);
    return page;
  }
  // Two pages with differences at 1 and 3; the first one is active.
  void TwoPages() {
    A = NewPage("a.bin", {1, 2, 3, 4});
    B = NewPage("b.bin", {1, 9, 3, 7, 5, 6, 7, 8});
    Form->PageControl()->setCurrentWidget(A);
    Form->MsgsPanel()->Clear();
  }
  // The user's Compare command; `user` acts inside the dialog.
  void RunCompare(std::function<void(TCompareForm&)> user) {
    Compare->ExecHook = [user](QDialog& dialog) {
      user(static_cast<TCompareForm&>(dialog));
      return dialog.result();
    };
    Form->QtAction("CompareBinFilesAction")->trigger();
  }

  std::unique_ptr<TMainForm> Form;
  TCompareForm* Compare = nullptr;
  TTestProgrammerPage* A = nullptr;
  TTestProgrammerPage* B = nullptr;
};

TEST_F(CompareFormTest, ListsThePagesAndSelectsTheActiveOne) {
  TwoPages();
  Form->PageControl()->setCurrentWidget(B);
  bool shown = false;
  RunCompare([&](TCompareForm& c) {
    shown = true;
    ASSERT_EQ(c.File1Box->count(), 2);
    EXPECT_EQ(c.File1Box->itemText(0), "a.bin");
    EXPECT_EQ(c.File1Box->itemText(1), "b.bin");
    EXPECT_EQ(c.File1Box->currentText(), "b.bin");
    EXPECT_EQ(c.File2Box->count(), 2);
    EXPECT_EQ(c.File2Box->currentIndex(), -1);
    EXPECT_TRUE(c.Color1Box->isChecked());
    EXPECT_TRUE(c.Color2Box->isChecked());
    EXPECT_TRUE(c.ShowDiffBox->isChecked());
    // An unselected list: the button does nothing and the dialog stays.
    c.CompareBtn->click();
    EXPECT_EQ(c.LastDifferences, -1);
    EXPECT_TRUE(Form->MsgsPanel()->Lines().isEmpty());
    c.File2Box->setCurrentIndex(0);
    c.show();
    SaveScreenshot(&c, "compareform");
    c.AbortBtn->click();
  });
  EXPECT_TRUE(shown);
  EXPECT_TRUE(Form->MsgsPanel()->Lines().isEmpty());
  EXPECT_EQ(Compare->result(), QDialog::Rejected);
}

TEST_F(CompareFormTest, ComparesUpToTheShorterBuffer) {
  struct {
    const char* Name;
    int Second; // index in File 2
    bool Colour1, Colour2, Show;
    QStringList Lines;
    std::vector<int32_t> MarksA, MarksB;
  } const cases[] = {
      {"all boxes",
       1,
       true,
       true,
       true,
       Strings({"Comparing Files: a.bin; b.bin", "[ 000001 ]:    02     09",
                "[ 000003 ]:    04     07", "Differences: 2"}),
       {1, 3},
       {1, 3}},
      {"only the first marked, no lines",
       1,
       true,
       false,
       false,
       Strings({"Comparing Files: a.bin; b.bin", "Differences: 2"}),
       {1, 3},
       {6}},
      {"same page twice",
       0,
       true,
       true,
       true,
       Strings({"Comparing Files: a.bin; a.bin", "Differences: 0"}),
       {},
       {6}},
  };
  TwoPages();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Form->MsgsPanel()->Clear();
    A->ModifiedList.Clear();
    B->ModifiedList.Clear();
    A->ModifiedList.AddOffset(6); // stale marks go when the page is coloured
    B->ModifiedList.AddOffset(6);
    const int redrawsA = A->Redraws;
    RunCompare([&](TCompareForm& f) {
      f.File2Box->setCurrentIndex(c.Second);
      f.Color1Box->setChecked(c.Colour1);
      f.Color2Box->setChecked(c.Colour2);
      f.ShowDiffBox->setChecked(c.Show);
      f.CompareBtn->click();
    });
    EXPECT_EQ(Compare->result(), QDialog::Accepted);
    EXPECT_EQ(Form->MsgsPanel()->Lines(), c.Lines);
    EXPECT_EQ(A->Marks(), c.MarksA);
    EXPECT_EQ(B->Marks(), c.MarksB);
    EXPECT_GT(A->Redraws, redrawsA);
    EXPECT_EQ(Compare->ProgressBar->maximum(), 3);
    EXPECT_EQ(Compare->ProgressBar->value(), 3);
    // The buffers themselves are left as they were.
    EXPECT_EQ(A->Buffer.DataSize(), 4);
    EXPECT_EQ(B->Buffer.DataSize(), 8);
  }
}

TEST_F(CompareFormTest, CommandNeedsAProgrammerPage) {
  bool shown = false;
  Compare->ExecHook = [&](QDialog&) {
    shown = true;
    return 0;
  };
  EXPECT_FALSE(Compare->Run());
  EXPECT_FALSE(shown);
  EXPECT_FALSE(Form->QtAction("CompareBinFilesAction")->isEnabled());
  NewPage("a.bin", {1});
  EXPECT_TRUE(Form->QtAction("CompareBinFilesAction")->isEnabled());
  Form->QtAction("CompareBinFilesAction")->trigger();
  EXPECT_TRUE(shown);
}

TEST_F(CompareFormTest, ToolsMenuOpensTheOneConverter) {
  THexDecForm* converter = HexDecFormOf(*Form);
  ASSERT_NE(converter, nullptr);
  EXPECT_FALSE(converter->isVisible());
  Form->QtAction("HexDecAction")->trigger();
  EXPECT_TRUE(converter->isVisible());
  EXPECT_FALSE(converter->isModal());
  InstallEditorTools(*Form); // again: still one of each
  EXPECT_EQ(Form->findChildren<THexDecForm*>().size(), 1);
  EXPECT_EQ(Form->findChildren<TCompareForm*>().size(), 1);
  converter->hide();
}

} // namespace
