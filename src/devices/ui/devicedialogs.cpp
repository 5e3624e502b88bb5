#include "devices/ui/devicedialogs.h"

#include <QPointer>

#include "devices/configreg.h"
#include "devices/devbase.h"
#include "devices/ui/configregform.h"
#include "devices/ui/devsettingsform.h"

namespace {
QPointer<TDeviceSettingsForm> SettingsForm;
QPointer<TConfigRegForm> RegisterForm;
} // namespace

void InstallDeviceDialogs(QWidget* mainWindow) {
  // Created once and reused; the main window owns them.
  if (!SettingsForm) SettingsForm = new TDeviceSettingsForm(mainWindow);
  if (!RegisterForm) RegisterForm = new TConfigRegForm(mainWindow);
  SetDeviceSettingsDialog([](TDevice& device) {
    if (SettingsForm) SettingsForm->Run(device);
  });
  SetConfigRegDialog(
      [](int layout, std::function<void()> programHandler, std::function<void()> readHandler) {
        if (!RegisterForm) return TConfigReg::mrCancel;
        return RegisterForm->ShowLayout(layout, std::move(programHandler), std::move(readHandler));
      });
}

TDeviceSettingsForm* DeviceSettingsForm() {
  return SettingsForm.data();
}

TConfigRegForm* ConfigRegForm() {
  return RegisterForm.data();
}
