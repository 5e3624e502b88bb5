#include "link/usb/usbdriver.h"

namespace {

// Stands in until the program picks a backend: a machine with no modules.
class TNoDevicesDriver final : public TUsbDriver {
public:
  bool Probe(const std::string&) override { return false; }
  THandle Open(const std::string&, int& sysError) override {
    sysError = SysErrorNotFound;
    return InvalidHandle;
  }
  bool Close(THandle, int& sysError) override {
    sysError = SysErrorInvalid;
    return false;
  }
  TDrvStatus IoControl(THandle, std::uint32_t, const std::uint8_t*, std::uint32_t, std::uint8_t*,
                       std::uint32_t, std::uint32_t& returned, std::uint32_t,
                       int& sysError) override {
    returned = 0;
    sysError = SysErrorInvalid;
    return TDrvStatus::Failed;
  }
};

TNoDevicesDriver NoDevices;
TUsbDriver* Current = &NoDevices;

} // namespace

TUsbDriver& UsbDriver() {
  return *Current;
}

void SetUsbDriver(TUsbDriver* driver) {
  Current = driver ? driver : &NoDevices;
}
