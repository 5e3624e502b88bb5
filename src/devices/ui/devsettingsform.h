#pragma once

#include <QDialog>
#include <functional>

#include "devices/devsettings.h"

class QTableWidget;
class QPushButton;

// "Device Settings": the key/value list of the attached device's timings.
// OK checks every row and stores them; a bad row keeps the dialog open.
class TDeviceSettingsForm : public QDialog {
  Q_OBJECT
public:
  explicit TDeviceSettingsForm(QWidget* parent = nullptr);

  // Remembers the device and fills the list; editing starts in the value column.
  void LoadDevice(TDevInfo& device);
  // Stores the list into the remembered device; false (and a warning, nothing
  // stored) when a row is bad.
  bool StoreDevice();
  // Loads, shows modally and stores on OK; returns the dialog's result.
  int Run(TDevInfo& device);

  QTableWidget* List() const { return ValueList; }
  QPushButton* OkButton() const { return Ok; }
  QPushButton* CancelButton() const { return Cancel; }
  TDeviceSettings& Model() { return Settings; }

  std::function<int(QDialog&)> ExecHook; // tests: replaces exec()
  void accept() override;

protected:
  void showEvent(QShowEvent* event) override;

private:
  TDeviceSettings Settings;
  QTableWidget* ValueList;
  QPushButton* Ok;
  QPushButton* Cancel;
};
