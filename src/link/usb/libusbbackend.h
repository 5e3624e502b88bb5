#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "link/usb/usbbackend.h"

struct libusb_context;
struct libusb_device;

// Real USB devices through libusb-1.0, with a context of its own. Without USB
// on the machine (no usbfs, libusb_init failing) it is a backend with no
// devices. Hotplug events, or on platforms without them a comparison of
// enumerations at most once a second, reach OnChange from PollEvents only, so
// on the caller's thread.
class TLibUsbBackend : public TUsbBackend {
public:
  TLibUsbBackend();
  ~TLibUsbBackend() override;
  TLibUsbBackend(const TLibUsbBackend&) = delete;
  TLibUsbBackend& operator=(const TLibUsbBackend&) = delete;

  // False when libusb could not start here (the backend then has no devices).
  bool Available() const { return Context != nullptr; }
  bool HasHotplug() const { return HotplugRegistered; }

  std::vector<TUsbDeviceId> Enumerate() override;
  std::unique_ptr<TUsbPort> Open(std::uint64_t key, TUsbStatus& status) override;
  void PollEvents() override;

  // Shared with the open ports so that the context outlives every handle.
  struct TContext;

private:
  struct TKnown {
    libusb_device* Device; // referenced while listed
    std::uint64_t Key;
    std::uint16_t Vendor;
    std::uint16_t Product;
  };

  static int HotplugCallback(libusb_context* ctx, libusb_device* device, int event, void* self);
  void Update();

  std::shared_ptr<TContext> Context;
  bool HotplugRegistered = false;
  int HotplugHandle = 0;
  std::deque<bool> PendingEvents;      // arrival true, removal false
  std::vector<TKnown> Known;           // in order of appearance
  std::vector<std::uint64_t> Reported; // keys as last told through OnChange (polling)
  std::uint64_t NextKey = 1;
  std::chrono::steady_clock::time_point LastPoll{};
  bool Polled = false;
};
