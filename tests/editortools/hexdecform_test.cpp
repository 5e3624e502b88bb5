#include <gtest/gtest.h>

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include "editor/ui/hexdecform.h"
#include "support/widgettest.h"

namespace {

class HexDecFormTest : public ::testing::Test {
protected:
  void SetUp() override {
    Form.OnBeep = [this] { ++Beeps; };
    Form.Open();
    QApplication::processEvents();
  }

  // The user clicks into an edit.
  void Enter(QLineEdit* edit, Qt::FocusReason reason = Qt::MouseFocusReason) {
    QFocusEvent in(QEvent::FocusIn, reason);
    QApplication::sendEvent(edit, &in);
  }
  void Type(QLineEdit* edit, const QString& keys) {
    for (QChar c : keys) {
      QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
      QApplication::sendEvent(edit, &press);
    }
  }
  void ChooseType(const char* caption) {
    for (int i = 0; i < 7 && Form.TypeBtn->text() != caption; ++i)
      Form.TypeBtn->click();
    ASSERT_EQ(Form.TypeBtn->text(), caption);
  }

  QApplication& App = WidgetTestApp(); // before any widget exists
  THexDecForm Form;
  int Beeps = 0;
};

TEST_F(HexDecFormTest, ConvertsAsTyped) {
  struct {
    const char* Type;
    bool FromHex;
    const char* Keys;
    const char* Typed; // the typed edit afterwards (upper case)
    const char* Other;
  } const cases[] = {
      {"Unsigned", true, "ff", "FF", "255"},
      {"8 bits Signed", true, "ff", "FF", "-1"},
      {"8 bits Signed", true, "100", "100", "Out of Range"},
      {"16 bits Signed", true, "FFFF", "FFFF", "-1"},
      {"16 bits Signed", true, "10000", "10000", ""},
      {"32 bits Float", true, "3f800000", "3F800000", "1.00"},
      {"32 bits Float", false, "1", "1", "3F800000"},
      {"Unsigned", false, "-1", "-1", "1"},
      {"8 bits Signed", false, "256", "256", "Out of Range"},
      {"8 bits Signed", false, "255", "255", "FF"},
      {"8 bits Signed", false, "-128", "-128", "80"},
      {"64 bits Signed", false, "1e3", "1E3", "00000000000003E8"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.Type) + " " + c.Keys);
    ChooseType(c.Type);
    QLineEdit* typed = c.FromHex ? Form.HexEdit : Form.DecEdit;
    QLineEdit* other = c.FromHex ? Form.DecEdit : Form.HexEdit;
    Enter(typed);
    Type(typed, QString::fromLatin1(c.Keys));
    EXPECT_EQ(typed->text().toStdString(), c.Typed);
    EXPECT_EQ(other->text().toStdString(), c.Other);
  }
}

TEST_F(HexDecFormTest, BadInputBeepsAndClearsTheOtherEdit) {
  ChooseType("Unsigned");
  Enter(Form.HexEdit);
  Type(Form.HexEdit, "1");
  EXPECT_EQ(Form.DecEdit->text(), "1");
  Type(Form.HexEdit, "g");
  EXPECT_EQ(Form.HexEdit->text(), "1G");
  EXPECT_EQ(Form.DecEdit->text(), "");
  EXPECT_EQ(Beeps, 1);

  Enter(Form.DecEdit);
  Type(Form.DecEdit, "1x");
  EXPECT_EQ(Form.HexEdit->text(), "");
  EXPECT_EQ(Beeps, 2);
}

TEST_F(HexDecFormTest, EnteringAnEditStartsAfresh) {
  ChooseType("Unsigned");
  Enter(Form.HexEdit);
  Type(Form.HexEdit, "10");
  ASSERT_EQ(Form.DecEdit->text(), "16");
  // Coming back from another window keeps everything.
  Enter(Form.HexEdit, Qt::ActiveWindowFocusReason);
  EXPECT_EQ(Form.HexEdit->text(), "10");
  EXPECT_EQ(Form.DecEdit->text(), "16");
  Enter(Form.DecEdit);
  EXPECT_EQ(Form.HexEdit->text(), "");
  EXPECT_EQ(Form.DecEdit->text(), "");
  EXPECT_EQ(Form.Converter().Value, 0);
  EXPECT_EQ(Form.ActiveEdit(), Form.DecEdit);
  EXPECT_EQ(Beeps, 0);
}

TEST_F(HexDecFormTest, TypeButtonConvertsAgain) {
  ChooseType("Unsigned");
  Enter(Form.HexEdit);
  Type(Form.HexEdit, "FF");
  ASSERT_EQ(Form.DecEdit->text(), "255");
  Form.TypeBtn->click();
  EXPECT_EQ(Form.TypeBtn->text(), "8 bits Signed");
  EXPECT_EQ(Form.DecEdit->text(), "-1");
  // The "Hex" button changes nothing.
  Form.HexBtn->click();
  EXPECT_EQ(Form.DecEdit->text(), "-1");
  EXPECT_EQ(Form.HexEdit->text(), "FF");

  // An empty edit being typed in: the other one is cleared, without a beep.
  Enter(Form.DecEdit);
  Form.HexEdit->setText("12");
  Form.TypeBtn->click();
  EXPECT_EQ(Form.HexEdit->text(), "");
  EXPECT_EQ(Beeps, 0);
}

TEST_F(HexDecFormTest, WindowAndScreenshot) {
  EXPECT_EQ(Form.windowTitle(), "Hex - Dec Converter");
  EXPECT_TRUE(Form.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_FALSE(Form.isModal());
  ChooseType("32 bits Float");
  Enter(Form.DecEdit);
  Type(Form.DecEdit, "1");
  SaveScreenshot(&Form, "hexdecform");
}

} // namespace
