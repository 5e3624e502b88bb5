#pragma once

#include <memory>

#include "link/debugwnd.h"
#include "link/usb/ezusbdriver.h"
#include "link/usb/virtualbackend.h"
#include "link/usbinterface.h"
#include "sim/simclock.h"
#include "sim/virtualmodule.h"
#include "support/recorderservices.h"

// A link over the virtual module, as the program builds it at start: the
// driver installed process-wide, the connection list probed, arrival and
// removal routed through the debug window, and a recorder as the services.
// Each test gets fresh global state.
class TVirtualLink {
public:
  TVirtualBackend Backend;
  TEzUsbDriver Driver{Backend};
  TRecorderServices Rec;
  TServicesScope Scope{Rec};

  TVirtualLink() {
    SetUsbDriver(&Driver);
    DebugWin().Clear();
    DebugWin().ListenTo(Driver);
    DebugWin().OnUSBArrival = nullptr;
    DebugWin().OnUSBRemove = nullptr;
    UsbConList().Clear();
  }
  ~TVirtualLink() {
    UsbConList().Clear();
    SetUsbDriver(nullptr);
  }

  // Plugs a module and lets the program see it arrive.
  std::shared_ptr<TVirtualModule> Plug(const TModuleConfig& config = {}) {
    auto m = Backend.Plug(config);
    Driver.PollEvents();
    return m;
  }
  void Unplug(const TVirtualModule& m) {
    Backend.Unplug(m);
    Driver.PollEvents();
  }
  std::uint64_t Now() { return Backend.Clock().Now(); }
};
