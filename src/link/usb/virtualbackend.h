#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "link/usb/usbbackend.h"
#include "sim/moduleconfig.h"

class TSimClock;
class TVirtualModule;

// Raw USB access to virtual programmer modules, in process. Plugging and
// unplugging queue an arrival or removal that the next PollEvents delivers
// through OnChange. Every port forwards to its module; once the module is
// unplugged each transfer gives NoDevice. A transfer that times out advances
// the shared clock by the request's time-out (a time-out of 0 waits nothing).
// The backend must outlive its ports.
class TVirtualBackend : public TUsbBackend {
public:
  TVirtualBackend();
  ~TVirtualBackend() override;

  TSimClock& Clock() { return *SimClock; }
  const std::shared_ptr<TSimClock>& SharedClock() const { return SimClock; }

  // Creates a module on this backend's clock and plugs it in.
  std::shared_ptr<TVirtualModule> Plug(const TModuleConfig& config = {});
  // Plugs an existing module (again): it powers up as a new device with a new
  // key. False when it is already plugged in here.
  bool Plug(const std::shared_ptr<TVirtualModule>& module);
  // False when the module is not plugged in here.
  bool Unplug(const TVirtualModule& module);
  void UnplugAll();
  // Plugged modules, in the order they appeared.
  std::vector<std::shared_ptr<TVirtualModule>> Modules() const;

  std::vector<TUsbDeviceId> Enumerate() override;
  std::unique_ptr<TUsbPort> Open(std::uint64_t key, TUsbStatus& status) override;
  void PollEvents() override;

  struct TSlot; // one plug of a module; shared with its ports

private:
  std::shared_ptr<TSimClock> SimClock;
  std::vector<std::shared_ptr<TSlot>> Slots;
  std::vector<bool> Pending;
  std::uint64_t NextKey = 1;
};
