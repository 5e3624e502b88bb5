#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

// Raw USB access under TEzUsbDriver: libusb for real modules, the virtual
// programmer module for the demo and the tests.
enum class TUsbStatus { Ok, Timeout, Stall, NoDevice, Access, Error };

// One attached device; Key identifies it for as long as it stays attached.
struct TUsbDeviceId {
  std::uint64_t Key;
  std::uint16_t Vendor;
  std::uint16_t Product;
};

// An opened device. Every call is bounded by its time-out and writes into the
// caller's buffer only before it returns.
class TUsbPort {
public:
  virtual ~TUsbPort() = default;
  // Control transfer on endpoint 0 (standard requests too: GET_DESCRIPTOR).
  // Bit 7 of requestType gives the direction; `data` holds `length` bytes.
  virtual TUsbStatus Control(std::uint8_t requestType, std::uint8_t request, std::uint16_t value,
                             std::uint16_t index, std::uint8_t* data, std::uint16_t length,
                             unsigned timeoutMs, std::uint32_t& transferred) = 0;
  virtual TUsbStatus SetConfiguration(std::uint8_t value) = 0;
  virtual TUsbStatus SetInterface(std::uint8_t interfaceNumber, std::uint8_t alternateSetting) = 0;
  // Bulk or interrupt transfer; bit 7 of the endpoint address gives the direction.
  virtual TUsbStatus Bulk(std::uint8_t endpoint, std::uint8_t* data, std::uint32_t length,
                          unsigned timeoutMs, std::uint32_t& transferred) = 0;
  virtual TUsbStatus Reset() = 0;
};

class TUsbBackend {
public:
  virtual ~TUsbBackend() = default;
  // Attached devices, in the order they appeared.
  virtual std::vector<TUsbDeviceId> Enumerate() = 0;
  virtual std::unique_ptr<TUsbPort> Open(std::uint64_t key, TUsbStatus& status) = 0;
  // Delivers pending hotplug events (calls OnChange) on the calling thread.
  virtual void PollEvents() {}
  // Raised when a device arrives (true) or leaves (false).
  std::function<void(bool arrival)> OnChange;
};
