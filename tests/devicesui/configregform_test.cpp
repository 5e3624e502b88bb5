#include <gtest/gtest.h>

#include <QComboBox>
#include <QMainWindow>
#include <QPushButton>
#include <QTableWidget>

#include "devices/configreg.h"
#include "devices/devbase.h"
#include "devices/ui/configregform.h"
#include "devices/ui/devicedialogs.h"
#include "support/widgettest.h"

namespace {

TConfigImage Image(std::uint8_t b0, std::uint8_t b1 = 0) {
  TConfigImage image{};
  image[0] = b0;
  image[1] = b1;
  return image;
}

class ConfigRegFormTest : public ::testing::Test {
protected:
  void SetUp() override {
    WidgetTestApp();
    Main.resize(800, 600);
    Main.show();
  }
  int Row(const QString& key) const {
    QTableWidget* grid = Form->Grid();
    for (int r = 0; r < grid->rowCount(); ++r)
      if (grid->item(r, 0)->text() == key) return r;
    return -1;
  }
  QString Shown(const QString& key) const { return Form->ChoiceBox(Row(key))->currentText(); }
  void Choose(const QString& key, const QString& text) {
    QComboBox* box = Form->ChoiceBox(Row(key));
    box->setCurrentIndex(box->findText(text));
  }

  QApplication& App = WidgetTestApp(); // before any widget
  QMainWindow Main;
  TConfigReg Reg;
  TConfigRegForm* Form = new TConfigRegForm(&Main, &Reg);
};

TEST_F(ConfigRegFormTest, ProgramAppliesTheChoicesAndCloseKeepsThem) {
  Reg.SetImage(Image(0x02, 0x3C)); // HS, code protect "Off" (both copies)
  TConfigImage programmed{};
  int programs = 0;
  auto program = [&] {
    ++programs;
    programmed = Reg.GetImage();
  };
  Form->ExecHook = [&](QDialog& dialog) {
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Configuration Bits");
    EXPECT_EQ(Form->Grid()->rowCount(), 8);
    EXPECT_EQ(Shown("Oscilator"), "HS");
    EXPECT_EQ(Shown("Code Protect"), "Off");
    EXPECT_EQ(Form->ChoiceBox(Row("Oscilator"))->count(), 8);
    EXPECT_FALSE(Form->Grid()->item(0, 0)->flags() & Qt::ItemIsEditable);
    EXPECT_TRUE(Form->ReadButton()->isVisible());
    EXPECT_FALSE(Form->ReadButton()->isEnabled()); // no read handler
    EXPECT_TRUE(Form->ProgramButton()->isEnabled());
    EXPECT_EQ(Form->ProgramButton()->text(), "Program");
    EXPECT_EQ(Form->CloseButton()->text(), "Close");
    Choose("Oscilator", "INTRC CLKOUT");
    SaveScreenshot(&dialog, "configregister");
    Form->ProgramButton()->click();
    EXPECT_TRUE(dialog.isVisible()); // programming does not close it
    Choose("Code Protect", "All");
    Form->CloseButton()->click();
    return dialog.result();
  };
  EXPECT_EQ(Form->ShowLayout(38, program, {}), TConfigReg::mrCancel);
  EXPECT_EQ(programs, 1);
  EXPECT_EQ(programmed, Image(0x11, 0x3C));     // what the program task sends
  EXPECT_EQ(Reg.GetImage(), Image(0x11, 0x00)); // closing applied the last choice
}

TEST_F(ConfigRegFormTest, ReadRefreshesTheRowsWhileShown) {
  Reg.SetImage(Image(0x00));
  auto read = [&] {
    Reg.SetImage(Image(0x04)); // what a read task stores
    Reg.ShowImage();
  };
  Form->ExecHook = [&](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "Lock Bits");
    EXPECT_EQ(Shown("LB2"), "False");
    EXPECT_TRUE(Form->ReadButton()->isEnabled());
    EXPECT_FALSE(Form->ProgramButton()->isEnabled());
    Form->ReadButton()->click();
    EXPECT_EQ(Shown("LB1"), "False");
    EXPECT_EQ(Shown("LB2"), "True");
    dialog.reject(); // Escape
    return dialog.result();
  };
  EXPECT_EQ(Form->ShowLayout(9, {}, read), TConfigReg::mrCancel);
  EXPECT_EQ(Reg.GetImage(), Image(0x04));
}

TEST_F(ConfigRegFormTest, ProgramAsOkModeClosesWithOkOrCancels) {
  const struct {
    bool PressOk;
    int Result;
    int Programs;
  } cases[] = {{true, TConfigReg::mrOk, 1}, {false, TConfigReg::mrCancel, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.PressOk ? "OK" : "Cancel");
    Reg.SetImage(Image(0x3F, 0x3F));
    Reg.ProgramAsOk = true;
    TConfigImage written{};
    int programs = 0;
    Form->ExecHook = [&](QDialog& dialog) {
      dialog.show();
      EXPECT_EQ(Form->ProgramButton()->text(), "OK");
      EXPECT_FALSE(Form->ReadButton()->isVisible());
      EXPECT_EQ(Form->CloseButton()->text(), "Cancel");
      Choose("Watchdog Timer", "Disabled");
      (c.PressOk ? Form->ProgramButton() : Form->CloseButton())->click();
      EXPECT_FALSE(dialog.isVisible());
      return dialog.result();
    };
    // The handler writes the edited word back into the page's buffer.
    EXPECT_EQ(Form->ShowLayout(35, [&] { ++programs, written = Reg.GetImage(); }, {}), c.Result);
    Reg.ProgramAsOk = false;
    EXPECT_EQ(programs, c.Programs);
    if (c.PressOk) {
      EXPECT_EQ(written, Image(0x3B, 0x3F));
    }
  }
  // The normal buttons come back with the next showing.
  Form->ExecHook = [&](QDialog& dialog) {
    dialog.show();
    EXPECT_EQ(Form->ProgramButton()->text(), "Program");
    EXPECT_TRUE(Form->ReadButton()->isVisible());
    EXPECT_EQ(Form->CloseButton()->text(), "Close");
    dialog.reject();
    return dialog.result();
  };
  Form->ShowLayout(
      35, [] {}, [] {});
}

TEST_F(ConfigRegFormTest, LayoutsOutsideTheTableShowNothing) {
  int shown = 0;
  Form->ExecHook = [&](QDialog&) { return ++shown, QDialog::Accepted; };
  Reg.SetImage(Image(0xAA));
  for (int layout : {0, 48, -3})
    EXPECT_EQ(Form->ShowLayout(
                  layout, [] {}, [] {}),
              TConfigReg::mrCancel)
        << layout;
  EXPECT_EQ(shown, 0);
  EXPECT_EQ(Reg.GetImage(), Image(0xAA));
}

TEST_F(ConfigRegFormTest, FamiliesReachTheInstalledDialogThroughTheHook) {
  InstallDeviceDialogs(&Main);
  TConfigRegForm* installed = ConfigRegForm();
  ASSERT_NE(installed, nullptr);
  EXPECT_EQ(&installed->Model(), &ConfigReg());
  ConfigReg().SetImage(Image(0x01));
  installed->ExecHook = [&](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "Fuse Bits");
    EXPECT_EQ(installed->ChoiceBox(0)->currentText(), "True");
    dialog.accept();
    return dialog.result();
  };
  EXPECT_EQ(ShowConfigRegDialog(12, {}, {}), TConfigReg::mrOk);
  EXPECT_EQ(ShowConfigRegDialog(99, {}, {}), TConfigReg::mrCancel);
}

} // namespace
