#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

#include "editor/findreplace.h"
#include "editor/ui/replaceform.h"
#include "editor/xhexedit.h"
#include "support/recorderservices.h"
#include "support/widgettest.h"

namespace {

void Load(TXHexEdit& editor, const std::string& bytes) {
  editor.NewData("test.bin", static_cast<int32_t>(bytes.size()) - 1);
  std::memcpy(editor.Data(), bytes.data(), bytes.size());
}

std::string Contents(const TXHexEdit& editor) {
  return std::string(reinterpret_cast<const char*>(editor.Data()),
                     static_cast<size_t>(editor.DataSize()));
}

// What a user's keystrokes do to a line edit.
void Type(QLineEdit* edit, const QString& keys) {
  for (QChar c : keys) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(edit, &press);
  }
}

void Leave(QLineEdit* edit) {
  QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
  QApplication::sendEvent(edit, &out);
}

class ReplaceFormTest : public ::testing::Test {
protected:
  void SetUp() override {
    WidgetTestApp();
    SetServices(&Rec);
    Form = &ReplaceForm();
    // The one dialog keeps its state between uses: start every case from the same one.
    Form->ExecHook = {};
    Form->OnBeep = [this] { ++Beeps; };
    Form->SetHexMode(true);
    Form->FindEdit->clear();
    Form->ReplaceEdit->clear();
    Form->FromEdit->clear();
    Form->ToEdit->clear();
    Form->PromptBox->setChecked(false);
    Editor.OnBeforeReplace = [this](TXHexEdit&, int32_t, int32_t, bool& cancel) {
      Find.BeforeReplace(cancel);
    };
  }
  void TearDown() override { SetServices(nullptr); }

  // Fills the dialog as a user would once it is shown, then presses a button.
  void Answer(bool hex, const char* find, const char* replace, bool range, const char* from,
              const char* to, bool prompt, bool accept = true) {
    Form->ExecHook = [=, this](QDialog& dialog) {
      if (Form->HexMode() != hex) Form->ModeBtn->click();
      Form->FindEdit->setText(QString::fromLatin1(find));
      Form->ReplaceEdit->setText(QString::fromLatin1(replace));
      (range ? Form->RangeBtn : Form->GlobalBtn)->click();
      Form->FromEdit->setText(QString::fromLatin1(from));
      Form->ToEdit->setText(QString::fromLatin1(to));
      Form->PromptBox->setChecked(prompt);
      (accept ? Form->ReplaceAllBtn : Form->CancelBtn)->click();
      return dialog.result();
    };
  }

  TRecorderServices Rec;
  TReplaceForm1* Form = nullptr;
  TXHexEdit Editor;
  TFindReplace Find;
  int Beeps = 0;
};

struct TRunCase {
  const char* Name;
  std::string Buffer;
  bool Hex;
  const char* FindText;
  const char* ReplaceText;
  bool Range;
  const char* From;
  const char* To;
  bool Prompt;
  std::vector<TAnswer> Answers;
  bool Accept;
  std::string Expected;
  int Count;
  std::vector<std::string> Boxes;
};

std::string Straddling() {
  // "AB" at 0Fh (crosses the start), 14h (inside) and 1Fh (crosses the end).
  std::string b(0x24, '.');
  for (size_t at : {0x0Fu, 0x14u, 0x1Fu})
    b.replace(at, 2, "AB");
  return b;
}

std::string StraddlingAfter() {
  std::string b = Straddling();
  b.replace(0x14, 2, "XY");
  return b;
}

TEST_F(ReplaceFormTest, ReplaceAllRuns) {
  const std::vector<TRunCase> cases = {
      // Hex patterns are bytes: 41h does not match the letter a.
      {"hex is exact", "AaA", true, "41", "42", false, "", "", false, {}, true, "BaB", 2, {}},
      {"text ignores case", "AaA", false, "a", "b", false, "", "", false, {}, true, "bbb", 3, {}},
      {"growing replacement ends",
       "AaA",
       false,
       "A",
       "BA",
       false,
       "",
       "",
       false,
       {},
       true,
       "BABABA",
       3,
       {}},
      {"range keeps matches inside",
       Straddling(),
       true,
       "41 42",
       "58 59",
       true,
       "10",
       "1F",
       false,
       {},
       true,
       StraddlingAfter(),
       1,
       {}},
      {"range end follows growth",
       "AAAAAA",
       false,
       "A",
       "BB",
       true,
       "0",
       "3",
       false,
       {},
       true,
       "BBBBBBBBAA",
       4,
       {}},
      {"cancel at first prompt",
       "AaA",
       false,
       "a",
       "b",
       false,
       "",
       "",
       true,
       {TAnswer::Cancel},
       true,
       "AaA",
       0,
       {"Confirm|Replace?"}},
      {"no skips one match",
       "AaA",
       false,
       "a",
       "b",
       false,
       "",
       "",
       true,
       {TAnswer::No, TAnswer::Yes, TAnswer::Yes},
       true,
       "Abb",
       2,
       {"Confirm|Replace?", "Confirm|Replace?", "Confirm|Replace?"}},
      {"to beyond the end",
       "AaA",
       false,
       "a",
       "b",
       true,
       "0",
       "3",
       false,
       {},
       true,
       "AaA",
       -1,
       {"Scope Range Error|Incorrect Range To Value"}},
      {"to empty",
       "AaA",
       false,
       "a",
       "b",
       true,
       "0",
       "",
       false,
       {},
       true,
       "AaA",
       -1,
       {"Scope Range Error|Incorrect Range To Value"}},
      {"from above to",
       "AaA",
       false,
       "a",
       "b",
       true,
       "2",
       "1",
       false,
       {},
       true,
       "AaA",
       -1,
       {"Scope Range Error|Incorrect Range From Value"}},
      {"from empty",
       "AaA",
       false,
       "a",
       "b",
       true,
       "",
       "1",
       false,
       {},
       true,
       "AaA",
       -1,
       {"Scope Range Error|Incorrect Range From Value"}},
      {"dialog cancelled", "AaA", false, "a", "b", false, "", "", false, {}, false, "AaA", -1, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    Rec.Reset();
    Rec.Answers = std::deque<TAnswer>(c.Answers.begin(), c.Answers.end());
    Load(Editor, c.Buffer);
    Answer(c.Hex, c.FindText, c.ReplaceText, c.Range, c.From, c.To, c.Prompt, c.Accept);
    EXPECT_EQ(Form->Run(Editor, Find), c.Count);
    EXPECT_EQ(Contents(Editor), c.Expected);
    EXPECT_EQ(Rec.Boxes, c.Boxes);
    if (c.Accept) {
      EXPECT_EQ(Find.PromptOnReplace, c.Prompt);
    }
  }
}

TEST_F(ReplaceFormTest, SelectionChoosesRangeElseGlobal) {
  Load(Editor, std::string(0x30, 'A'));
  Form->ExecHook = [](QDialog&) { return int(QDialog::Rejected); };

  // Selected backwards: still the range from its lowest offset.
  Editor.SetSelection(true, 0x25, 0x12);
  Form->Run(Editor, Find);
  EXPECT_TRUE(Form->RangeBtn->isChecked());
  EXPECT_EQ(Form->FromEdit->text(), "000012");
  EXPECT_EQ(Form->ToEdit->text(), "000025");
  EXPECT_TRUE(Form->FromEdit->isEnabled());

  Editor.SetSelection(false, 0, 0);
  Form->Run(Editor, Find);
  EXPECT_TRUE(Form->GlobalBtn->isChecked());
  EXPECT_FALSE(Form->ToEdit->isEnabled());
  EXPECT_EQ(Form->FromEdit->text(), "000012"); // kept for the next use
}

TEST_F(ReplaceFormTest, SelectedRangeIsAllThatChanges) {
  Load(Editor, std::string(8, 'A'));
  Editor.SetSelection(true, 5, 2);
  Form->ExecHook = [this](QDialog& dialog) {
    Form->FindEdit->setText("41");
    Form->ReplaceEdit->setText("42");
    Form->ReplaceAllBtn->click();
    return dialog.result();
  };
  EXPECT_EQ(Form->Run(Editor, Find), 4);
  EXPECT_EQ(Contents(Editor), "AABBBBAA");
}

TEST_F(ReplaceFormTest, PromptReachesAnEditorWithoutHandler) {
  Editor.OnBeforeReplace = nullptr;
  Load(Editor, "AaA");
  Rec.Answers = {TAnswer::Cancel};
  Answer(false, "a", "b", false, "", "", true);
  EXPECT_EQ(Form->Run(Editor, Find), 0);
  EXPECT_EQ(Contents(Editor), "AaA");
  EXPECT_EQ(Rec.Boxes, std::vector<std::string>{"Confirm|Replace?"});
  EXPECT_FALSE(Editor.OnBeforeReplace); // the run's own handler is gone again
}

TEST_F(ReplaceFormTest, LeavingHexEditRewritesIt) {
  struct {
    const char* Typed;
    const char* Shown;
    bool Beep;
  } const cases[] = {
      {"41 42", "41 42 ", false}, {"4142", "41 42 ", false}, {"1 2", "01 02 ", false},
      {"abc", "AB 0C ", false},   {"", "", false},           {"1G", "", true},
      {"G1", "", true},
  };
  for (QLineEdit* edit : {Form->FindEdit, Form->ReplaceEdit}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(c.Typed);
      Beeps = 0;
      edit->setText(QString::fromLatin1(c.Typed)); // pasted: the key filter is not asked
      Leave(edit);
      EXPECT_EQ(edit->text().toStdString(), c.Shown);
      EXPECT_EQ(Beeps, c.Beep ? 1 : 0);
    }
  }
  // Text mode keeps what was typed.
  Form->ModeBtn->click();
  Form->FindEdit->setText("1G");
  Leave(Form->FindEdit);
  EXPECT_EQ(Form->FindEdit->text(), "1G");
}

TEST_F(ReplaceFormTest, KeysAndModeButton) {
  Type(Form->FindEdit, "1g 2Z.f");
  EXPECT_EQ(Form->FindEdit->text(), "1 2f");
  EXPECT_EQ(Form->ModeBtn->text(), "Hex");
  Form->ModeBtn->click();
  EXPECT_EQ(Form->ModeBtn->text(), "Text");
  EXPECT_FALSE(Form->HexMode());
  Type(Form->ReplaceEdit, "xY.");
  EXPECT_EQ(Form->ReplaceEdit->text(), "xY.");
  Form->ModeBtn->click();
  EXPECT_EQ(Form->ModeBtn->text(), "Hex");

  // From and To drop what would not be hex, and upper-case the rest.
  Form->RangeBtn->click();
  Type(Form->FromEdit, "1g2f-z0");
  EXPECT_EQ(Form->FromEdit->text(), "12F0");
  Type(Form->ToEdit, "ab");
  EXPECT_EQ(Form->ToEdit->text(), "AB");
}

TEST_F(ReplaceFormTest, Screenshot) {
  Form->FindEdit->setText("41 42 ");
  Form->ReplaceEdit->setText("58 59 ");
  Form->RangeBtn->click();
  Form->FromEdit->setText("000010");
  Form->ToEdit->setText("00001F");
  Form->PromptBox->setChecked(true);
  Form->show();
  SaveScreenshot(Form, "replaceform");
  Form->hide();
}

} // namespace
