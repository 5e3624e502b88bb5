#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "devices/devactionlist.h"
#include "devices/devinfo.h"
#include "link/errcodes.h"

class TDevice;
class TDevicePage;
class TXHexEdit;

// Fired by family SetModule overrides with the frames on the page's programmer
// and connections tabs (window controls, opaque to the models).
using TSelectDeviceEvent =
    std::function<void(TDevice* device, void* programmerTab, void* connectionsTab)>;

// Base of every registry entry. The description record's fields are the
// device's own fields (same names, types and order).
class TDevice : public TDevInfo {
public:
  explicit TDevice(const TDevInfo& info);
  virtual ~TDevice();
  TDevice(const TDevice&) = delete;
  TDevice& operator=(const TDevice&) = delete;

  TSelectDeviceEvent OnSelectDevice;
  TDevicePage* HepPage = nullptr; // not owned
  TXHexEdit* XHexEdit = nullptr;  // the page's buffer, not owned
  std::unique_ptr<TDevActionList> DevActionList;
  TModule Module = tmNone;

  virtual bool SetupRead() { return true; }
  virtual bool SetupWrite() { return true; }
  virtual void SetModule(TDevicePage* page);
  virtual void EnterModule(void* sender);
  virtual void ExitModule(void* sender);
  virtual TTaskResult DeviceProgram() { return trSuccess; }
  virtual TTaskResult DeviceRead() { return trSuccess; }
  virtual TTaskResult DeviceVerify() { return trSuccess; }
  virtual TTaskResult DeviceBlankCheck() { return trSuccess; }
  virtual void DeviceSettings(void* sender);
  virtual void DeviceConfigRegister(void* sender) { (void)sender; }
  virtual void DeviceFuseBits(void* sender) { (void)sender; }
  virtual void DeviceLockBits(void* sender) { (void)sender; }

  TDevInfo GetDevInfo() const { return static_cast<const TDevInfo&>(*this); }
  void SetDevInfo(const TDevInfo& info);
  TTaskResult ProgramDev() { return DeviceProgram(); }
  void OnDevActionClick(TDevActionList* sender, TDevAction* action, const std::string& script);

  // Forgets a page that goes away, so no operation reaches its freed buffer.
  virtual void DetachPage(const TDevicePage* page);
  // True when the device is attached to a page with a buffer; otherwise adds
  // a message and an operation must fail without touching the module.
  bool CheckPage() const;
};

// Hosts the models cannot depend on: the script engines that run an action's
// procedure and the settings dialog. The program sets them at start.
using TActionScriptRunner = std::function<void(std::uint8_t language, const std::string& compiled,
                                               const std::string& procName)>;
void SetActionScriptRunner(TActionScriptRunner runner);
using TDeviceDialog = std::function<void(TDevice& device)>;
void SetDeviceSettingsDialog(TDeviceDialog dialog);
// The configuration-register dialog: shows a layout with the families' Program
// and Read handlers (either may be empty); returns 1 for OK, 0 otherwise.
using TConfigRegDialog = std::function<int(int layout, std::function<void()> programHandler,
                                           std::function<void()> readHandler)>;
void SetConfigRegDialog(TConfigRegDialog dialog);
// Shows it through the hook; 0 when none is installed or the layout is not in the table.
int ShowConfigRegDialog(int layout, std::function<void()> programHandler,
                        std::function<void()> readHandler);
class TConfigReg;
TConfigReg& ConfigReg(); // the one register model whose image the families fill

// Message of an operation started with no programmer page attached.
extern const char* const NoPageMessage;
