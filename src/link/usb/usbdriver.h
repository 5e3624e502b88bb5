#pragma once

#include <cstdint>
#include <functional>
#include <string>

// The contract of the EZ-USB general-purpose driver as TUsbX uses it: device
// objects named "EZUSB-n", opened by name, and device I/O control requests with
// the driver's codes and buffers (ezioctl.h). Two implementations answer it
// through TEzUsbDriver: real modules over libusb and the virtual module.
enum class TDrvStatus { Ok, Timeout, Failed };

class TUsbDriver {
public:
  using THandle = int;
  static constexpr THandle InvalidHandle = -1;

  virtual ~TUsbDriver() = default;

  // True when the device object exists and could be opened.
  virtual bool Probe(const std::string& name) = 0;
  // Opens a device object; InvalidHandle with sysError set on failure.
  virtual THandle Open(const std::string& name, int& sysError) = 0;
  virtual bool Close(THandle handle, int& sysError) = 0;
  // One request. The request's own time-out bounds it; nothing writes into
  // `out` after the call returns. `returned` is the count of bytes in `out`.
  virtual TDrvStatus IoControl(THandle handle, std::uint32_t code, const std::uint8_t* in,
                               std::uint32_t inSize, std::uint8_t* out, std::uint32_t outSize,
                               std::uint32_t& returned, std::uint32_t timeoutMs,
                               int& sysError) = 0;

  // Delivers pending arrival and removal notifications on the calling thread
  // (called from the event loop or a polling timer).
  virtual void PollEvents() {}

  // Raised for the arrival (true) or removal (false) of any USB device.
  std::function<void(bool arrival)> OnDeviceChange;
};

// System error codes the drivers report (errno values, shown as "Error n").
constexpr int SysErrorAccess = 13;   // EACCES
constexpr int SysErrorNoDevice = 19; // ENODEV
constexpr int SysErrorPipe = 32;     // EPIPE: endpoint stalled
constexpr int SysErrorIo = 5;        // EIO
constexpr int SysErrorNotFound = 2;  // ENOENT: no such device object
constexpr int SysErrorInvalid = 22;  // EINVAL: bad request or buffer

// The process-wide driver, chosen at start (libusb or virtual).
TUsbDriver& UsbDriver();
void SetUsbDriver(TUsbDriver* driver); // nullptr: a driver with no devices
