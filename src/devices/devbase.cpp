#include "devices/devbase.h"

#include "devices/configreg.h"
#include "devices/devicepage.h"
#include "shell/appservices.h"

namespace {
TActionScriptRunner ScriptRunner;
TDeviceDialog SettingsDialog;
TConfigRegDialog ConfigRegDialog;
} // namespace

const char* const NoPageMessage = "No programmer page is attached to the device";

void SetActionScriptRunner(TActionScriptRunner runner) {
  ScriptRunner = std::move(runner);
}
void SetDeviceSettingsDialog(TDeviceDialog dialog) {
  SettingsDialog = std::move(dialog);
}
void SetConfigRegDialog(TConfigRegDialog dialog) {
  ConfigRegDialog = std::move(dialog);
}
int ShowConfigRegDialog(int layout, std::function<void()> programHandler,
                        std::function<void()> readHandler) {
  if (!ConfigRegDialog || !ConfigReg().Layout(layout)) return TConfigReg::mrCancel;
  return ConfigRegDialog(layout, std::move(programHandler), std::move(readHandler));
}
TConfigReg& ConfigReg() {
  static TConfigReg reg;
  return reg;
}

TDevice::TDevice(const TDevInfo& info) : TDevInfo(info) {
  if (InheritedDevName.empty()) InheritedDevName = Name;
  DevActionList = std::make_unique<TDevActionList>();
  DevActionList->SetOnClick(
      [this](TDevActionList* sender, TDevAction* action, const std::string& script) {
        OnDevActionClick(sender, action, script);
      });
  Module = tmNone;
}

TDevice::~TDevice() = default;

void TDevice::SetDevInfo(const TDevInfo& info) {
  static_cast<TDevInfo&>(*this) = info;
}

void TDevice::SetModule(TDevicePage* page) {
  HepPage = page;
  if (!page) {
    XHexEdit = nullptr;
    return;
  }
  page->SetDeviceInfo(Descr, Descr);
  XHexEdit = page->XHexEdit1;
}

void TDevice::EnterModule(void* sender) {
  (void)sender;
  TAppServices& s = Services();
  if (Settings != 0) s.DeviceCommand(dcSettings).Set([this](void* o) { DeviceSettings(o); }, true);
  if (ConfigOption != 0)
    s.DeviceCommand(dcConfigRegister).Set([this](void* o) { DeviceConfigRegister(o); }, true);
  if (LockBitsOption != 0)
    s.DeviceCommand(dcLockBits).Set([this](void* o) { DeviceLockBits(o); }, true);
  if (FuseBitsOption != 0)
    s.DeviceCommand(dcFuseBits).Set([this](void* o) { DeviceFuseBits(o); }, true);
  DevActionList->MenuItem = s.FindMenuItem("&Actions");
  DevActionList->BuildMenu();
}

void TDevice::ExitModule(void* sender) {
  (void)sender;
  TAppServices& s = Services();
  for (TDeviceCommand c : {dcConfigRegister, dcSettings, dcLockBits, dcFuseBits})
    s.DeviceCommand(c).Set({}, false);
}

void TDevice::DeviceSettings(void* sender) {
  (void)sender;
  if (SettingsDialog) SettingsDialog(*this);
}

void TDevice::OnDevActionClick(TDevActionList* sender, TDevAction* action,
                               const std::string& script) {
  (void)sender;
  if (action && ScriptRunner) ScriptRunner(action->Language, script, action->ProcName);
}

void TDevice::DetachPage(const TDevicePage* page) {
  if (page && HepPage == page) {
    HepPage = nullptr;
    XHexEdit = nullptr;
  }
}

bool TDevice::CheckPage() const {
  if (HepPage && XHexEdit) return true;
  Services().AddMessage(NoPageMessage);
  return false;
}
