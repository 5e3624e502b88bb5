#pragma once

class QWidget;
class TDeviceSettingsForm;
class TConfigRegForm;

// Creates the device settings and configuration-register dialogs once, owned
// by the main window, and routes the devices' dialog hooks to them.
void InstallDeviceDialogs(QWidget* mainWindow);
TDeviceSettingsForm* DeviceSettingsForm(); // nullptr before InstallDeviceDialogs
TConfigRegForm* ConfigRegForm();
