#include <gtest/gtest.h>

#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "families/e2memframe.h"
#include "families/ui/e2memframeview.h"
#include "support/widgettest.h"

namespace {

// A 128-byte serial memory with the range 10..7F, its panel on screen and
// the beeps counted.
class E2MemoryFrameView : public ::testing::Test {
protected:
  void SetUp() override {
    WidgetTestApp();
    Model.SetCapacities(128, 128);
    ASSERT_TRUE(Model.SetRange(0x10, 0x7F));
    View = std::make_unique<TE2MemoryFrameView>(Model);
    View->OnBeep = [this] { ++Beeps; };
    View->show();
  }

  // What the user does to an edit: replace its text by typing or by pasting.
  static void Type(QLineEdit* edit, const QString& keys) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, keys);
  }
  static void Paste(QLineEdit* edit, const QString& text) {
    QApplication::clipboard()->setText(text);
    edit->setFocus();
    edit->selectAll();
    edit->paste();
  }
  static bool WholeTextSelected(QLineEdit* edit) {
    return !edit->text().isEmpty() && edit->selectedText() == edit->text();
  }

  Te2memoryFrame Model;
  std::unique_ptr<TE2MemoryFrameView> View;
  int Beeps = 0;
};

TEST_F(E2MemoryFrameView, NamedAfterItsModelAndShowingItsRange) {
  EXPECT_EQ(View->objectName().toStdString(), Model.Name);
  EXPECT_EQ(View->StartEdit()->text(), "10");
  EXPECT_EQ(View->EndEdit()->text(), "7F");
  // As a part with a status register shows it.
  Model.ReadStatusRegisterBtn.Visible = Model.WriteStatusRegisterBtn.Visible = true;
  Model.RegisterLabelVisible = Model.RegisterEditVisible = true;
  Model.Changed();
  SaveScreenshot(View.get(), "e2memoryframe");
}

TEST_F(E2MemoryFrameView, TypedAndPastedRangeEntries) {
  struct TCase {
    bool Start;
    bool Pasted; // else typed key by key over the selected text
    const char* Input;
    bool Beeped;
    const char* Shown;
    int RangeStart, RangeEnd;
  };
  const TCase cases[] = {
      {false, true, "1G", true, "7F", 0x10, 0x7F},   // not a number
      {false, true, "80", true, "7F", 0x10, 0x7F},   // at the capacity
      {false, true, "-1", true, "7F", 0x10, 0x7F},   // no sign
      {false, false, "7e", false, "7E", 0x10, 0x7E}, // upper case
      {false, false, "G", true, "7F", 0x10, 0x7F},   // key dropped, nothing changes
      {false, false, "1G", true, "1", 0x10, 0x01},   // "1" taken, then "G" dropped
      {true, false, "20", false, "20", 0x20, 0x7F},
      {true, true, "80", true, "10", 0x10, 0x7F},  // beyond the end
      {true, true, "ab", true, "10", 0x10, 0x7F},  // above the end
      {true, true, "1a", false, "1A", 0x1A, 0x7F}, // pasted lower case
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.Start ? "Start " : "End ") + c.Input);
    ASSERT_TRUE(Model.SetRange(0x10, 0x7F));
    Beeps = 0;
    QLineEdit* edit = c.Start ? View->StartEdit() : View->EndEdit();
    const QString input = QString::fromLatin1(c.Input);
    if (c.Pasted)
      Paste(edit, input);
    else
      Type(edit, input);
    EXPECT_EQ(Beeps > 0, c.Beeped);
    EXPECT_EQ(edit->text(), c.Shown);
    EXPECT_EQ(Model.RangeStart, c.RangeStart);
    EXPECT_EQ(Model.RangeEnd, c.RangeEnd);
    if (c.Beeped && c.Pasted) {
      EXPECT_TRUE(WholeTextSelected(edit));
    }
  }
}

TEST_F(E2MemoryFrameView, ClearingAnEditPutsTheValueBack) {
  View->EndEdit()->setFocus();
  View->EndEdit()->end(false);
  QTest::keyClick(View->EndEdit(), Qt::Key_Backspace);
  EXPECT_EQ(View->EndEdit()->text(), "7");
  EXPECT_EQ(Model.RangeEnd, 7);
  QTest::keyClick(View->EndEdit(), Qt::Key_Backspace);
  EXPECT_EQ(Beeps, 1);
  EXPECT_EQ(View->EndEdit()->text(), "7");
  EXPECT_TRUE(WholeTextSelected(View->EndEdit()));
}

TEST_F(E2MemoryFrameView, ModelChangesShowAtOnce) {
  ASSERT_TRUE(Model.SetRange(0, 0));
  EXPECT_EQ(View->StartEdit()->text(), "0");
  EXPECT_EQ(View->EndEdit()->text(), "0");
  EXPECT_FALSE(Model.SetRange(5, 4));
  EXPECT_EQ(View->EndEdit()->text(), "0");
  Model.SetRegisterValue(0x0B);
  EXPECT_EQ(View->RegisterEdit()->text(), "0B");
}

TEST_F(E2MemoryFrameView, ButtonsFollowTheirModels) {
  QPushButton* read = View->FindButton("Read");
  ASSERT_NE(read, nullptr);
  for (const char* caption : {"Verify", "Program", "Blank Check", "Erase All"})
    EXPECT_FALSE(View->FindButton(caption)->isHidden()) << caption;
  for (const char* caption :
       {"Read Stat. Register", "Write Stat. Register", "Clear Protect Register"})
    EXPECT_TRUE(View->FindButton(caption)->isHidden()) << caption;
  EXPECT_TRUE(View->RegisterLabel()->isHidden());
  EXPECT_TRUE(View->RegisterEdit()->isHidden());

  // What a device does when it attaches.
  Model.EraseBtn.Visible = false;
  Model.ReadStatusRegisterBtn.Visible = true;
  Model.ReadStatusRegisterBtn.Caption = "Read Protect Register";
  Model.VerifyBtn.Enabled = false;
  Model.RegisterLabelVisible = Model.RegisterEditVisible = true;
  Model.Changed();
  EXPECT_EQ(View->FindButton("Erase All")->isHidden(), true);
  ASSERT_NE(View->FindButton("Read Protect Register"), nullptr);
  EXPECT_FALSE(View->FindButton("Read Protect Register")->isHidden());
  EXPECT_EQ(View->FindButton("Read Stat. Register"), nullptr);
  EXPECT_FALSE(View->FindButton("Verify")->isEnabled());
  EXPECT_FALSE(View->RegisterLabel()->isHidden());
  EXPECT_EQ(View->RegisterLabel()->text(), "Status Register");
  EXPECT_FALSE(View->RegisterEdit()->isHidden());
}

TEST_F(E2MemoryFrameView, ClickingAButtonRunsItsHandlerAndShowsWhatItChanged) {
  int reads = 0;
  Model.ReadBtn.OnClick = [&] {
    ++reads;
    Model.RangeEnd = 0x3F; // a handler that moves the range
    Model.ShowRange();
  };
  QTest::mouseClick(View->FindButton("Read"), Qt::LeftButton);
  EXPECT_EQ(reads, 1);
  EXPECT_EQ(View->EndEdit()->text(), "3F");

  int erases = 0;
  Model.EraseBtn.OnClick = [&] { ++erases; };
  Model.EraseBtn.Enabled = false;
  Model.Changed();
  QTest::mouseClick(View->FindButton("Erase All"), Qt::LeftButton);
  EXPECT_EQ(erases, 0);
}

TEST_F(E2MemoryFrameView, ProgramModifiedOnlyRunsItsHandlerWithTheNewState) {
  bool seen = false;
  int clicks = 0;
  Model.ProgramModifiedOnlyCheck.OnClick = [&] {
    ++clicks;
    seen = Model.ProgramModifiedOnlyCheck.Checked;
  };
  QCheckBox* box = View->ProgramModifiedOnlyBox();
  EXPECT_EQ(box->text(), "Program Modified Only");
  QTest::mouseClick(box, Qt::LeftButton);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(seen);
  EXPECT_TRUE(box->isChecked());

  Model.ProgramModifiedOnlyCheck.Enabled = false; // a part that cannot
  Model.Changed();
  EXPECT_FALSE(box->isEnabled());
  QTest::mouseClick(box, Qt::LeftButton);
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(Model.ProgramModifiedOnlyCheck.Checked);
}

TEST_F(E2MemoryFrameView, RegisterEditTakesTwoHexDigits) {
  Model.RegisterLabelVisible = Model.RegisterEditVisible = true;
  Model.Changed();
  QLineEdit* edit = View->RegisterEdit();
  Type(edit, "a5");
  EXPECT_EQ(edit->text(), "A5");
  EXPECT_EQ(Model.RegisterValue(), 0xA5);
  EXPECT_EQ(Beeps, 0);
  Type(edit, "x");
  EXPECT_EQ(Beeps, 1);
  EXPECT_EQ(edit->text(), "A5");
  // Clearing it is not a value: the last one comes back, selected.
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Delete);
  EXPECT_EQ(Beeps, 2);
  EXPECT_EQ(edit->text(), "A5");
  EXPECT_TRUE(WholeTextSelected(edit));
  EXPECT_EQ(Model.RegisterValue(), 0xA5);
}

TEST_F(E2MemoryFrameView, AViewGoneFirstIsNeverCalled) {
  View.reset();
  Model.ShowRange(); // would reach a dead view
  EXPECT_TRUE(Model.SetRange(1, 2));
  EXPECT_FALSE(Model.EndEditChange("1G"));
}

} // namespace
