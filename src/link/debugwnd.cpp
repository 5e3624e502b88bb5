#include "link/debugwnd.h"

#include "link/usb/usbdriver.h"
#include "link/usbx.h"

void TDebugWin::Log(const std::string& line) {
  LogLines.push_back(line);
  if (OnLine) OnLine(line);
}

void TDebugWin::DeviceChange(bool arrival) {
  UsbConList().RefreshConnections();
  auto& handler = arrival ? OnUSBArrival : OnUSBRemove;
  if (handler) handler(this);
}

void TDebugWin::ListenTo(TUsbDriver& driver) {
  driver.OnDeviceChange = [this](bool arrival) { DeviceChange(arrival); };
}

TDebugWin& DebugWin() {
  static TDebugWin win;
  return win;
}
