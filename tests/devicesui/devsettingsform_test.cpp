#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QTableWidget>

#include "devices/devbase.h"
#include "devices/ui/devicedialogs.h"
#include "devices/ui/devsettingsform.h"
#include "support/recorderservices.h"
#include "support/widgettest.h"

namespace {

TDevInfo I2cDevice() {
  TDevInfo d;
  d.ID = "24c02";
  d.Name = "24C02";
  d.Settings = 3;
  d.e2Tw = 10000;
  d.e2Tc = 50;
  d.PowerSetupTime = 100;
  d.I2CSlave = 0xA0;
  return d;
}

class DeviceSettingsFormTest : public ::testing::Test {
protected:
  void SetUp() override {
    WidgetTestApp();
    Main.resize(800, 600);
    Main.move(100, 80);
    Main.show();
  }
  QTableWidgetItem* Value(const QString& key) {
    QTableWidget* list = Form->List();
    for (int r = 0; r < list->rowCount(); ++r)
      if (list->item(r, 0)->text() == key) return list->item(r, 1);
    return nullptr;
  }
  // The line editor the list opened, or nullptr.
  QLineEdit* OpenEditor() {
    for (QLineEdit* e : Form->List()->viewport()->findChildren<QLineEdit*>())
      if (e->isVisible()) return e;
    return nullptr;
  }

  TRecorderServices Rec;
  TServicesScope Scope{Rec};
  QApplication& App = WidgetTestApp(); // before any widget
  QMainWindow Main;
  TDeviceSettingsForm* Form = new TDeviceSettingsForm(&Main);
  TDevInfo Device = I2cDevice();
};

TEST_F(DeviceSettingsFormTest, ShowsTheRowsWithFixedKeysAndEditsTheFirstValue) {
  Form->ExecHook = [&](QDialog& dialog) {
    dialog.show();
    QApplication::processEvents();
    EXPECT_EQ(dialog.windowTitle(), "Device Settings");
    QTableWidget* list = Form->List();
    EXPECT_EQ(list->rowCount(), 4);
    EXPECT_EQ(list->item(0, 0)->text(), "Write Time, ms");
    EXPECT_EQ(list->item(3, 0)->text(), "Control Byte");
    EXPECT_EQ(list->item(3, 1)->text(), "$A0");
    EXPECT_EQ(list->item(2, 1)->text(), "100");
    for (int r = 0; r < list->rowCount(); ++r)
      EXPECT_FALSE(list->item(r, 0)->flags() & Qt::ItemIsEditable) << r;
    EXPECT_EQ(list->currentColumn(), 1);
    QLineEdit* editor = OpenEditor();
    EXPECT_NE(editor, nullptr);
    if (editor) {
      EXPECT_EQ(editor->text(), "10");
    }
    // Centred on the main window.
    const QPoint offset = dialog.frameGeometry().center() - Main.frameGeometry().center();
    EXPECT_LE(offset.manhattanLength(), 4);
    SaveScreenshot(&dialog, "devicesettings");
    dialog.reject();
    return dialog.result();
  };
  EXPECT_EQ(Form->Run(Device), QDialog::Rejected);
}

TEST_F(DeviceSettingsFormTest, OkStoresEveryRowIncludingTheOneBeingEdited) {
  Form->ExecHook = [&](QDialog& dialog) {
    dialog.show();
    QApplication::processEvents();
    Value("Control Byte")->setText("$A2");
    Value("Clock Time, us")->setText("7");
    // The first value is still in its editor when OK is pressed.
    if (QLineEdit* editor = OpenEditor()) editor->setText("12");
    Form->OkButton()->click();
    return dialog.result();
  };
  EXPECT_EQ(Form->Run(Device), QDialog::Accepted);
  EXPECT_FALSE(Form->isVisible());
  EXPECT_EQ(Device.e2Tw, 12000u);
  EXPECT_EQ(Device.e2Tc, 3u);
  EXPECT_EQ(Device.I2CSlave, 0xA2);
  EXPECT_TRUE(Rec.Boxes.empty());
}

TEST_F(DeviceSettingsFormTest, ABadRowWarnsKeepsTheDialogOpenAndStoresNothing) {
  const TDevInfo before = Device;
  bool stayedOpen = false;
  Form->ExecHook = [&](QDialog& dialog) {
    dialog.show();
    Value("Write Time, ms")->setText("25");
    Value("Control Byte")->setText("$1A0");
    Form->OkButton()->click();
    stayedOpen = dialog.isVisible();
    EXPECT_EQ(Form->List()->currentRow(), 3); // back on the refused row
    Form->CancelButton()->click();
    return dialog.result();
  };
  EXPECT_EQ(Form->Run(Device), QDialog::Rejected);
  EXPECT_TRUE(stayedOpen);
  EXPECT_EQ(Device, before);
  ASSERT_EQ(Rec.Boxes.size(), 1u);
  EXPECT_NE(Rec.Boxes[0].find("Control Byte"), std::string::npos) << Rec.Boxes[0];
}

TEST_F(DeviceSettingsFormTest, CancelLeavesTheDeviceAlone) {
  const TDevInfo before = Device;
  Form->ExecHook = [&](QDialog& dialog) {
    Value("Write Time, ms")->setText("99");
    Form->CancelButton()->click();
    return dialog.result();
  };
  EXPECT_EQ(Form->Run(Device), QDialog::Rejected);
  EXPECT_EQ(Device, before);
}

TEST_F(DeviceSettingsFormTest, TheDevicesSettingsCommandOpensTheInstalledDialog) {
  InstallDeviceDialogs(&Main);
  TDeviceSettingsForm* installed = DeviceSettingsForm();
  ASSERT_NE(installed, nullptr);
  InstallDeviceDialogs(&Main); // created once
  EXPECT_EQ(DeviceSettingsForm(), installed);
  EXPECT_EQ(installed->parentWidget(), &Main);

  TDevInfo info = I2cDevice();
  info.Settings = 4;
  TDevice device(info);
  installed->ExecHook = [&](QDialog& dialog) {
    EXPECT_EQ(installed->List()->rowCount(), 3);
    installed->List()->item(0, 1)->setText("5");
    dialog.accept();
    return dialog.result();
  };
  device.DeviceSettings(nullptr);
  EXPECT_EQ(device.e2Tw, 5000u);
}

} // namespace
