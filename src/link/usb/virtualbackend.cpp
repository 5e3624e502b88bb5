#include "link/usb/virtualbackend.h"

#include <algorithm>

#include "sim/simclock.h"
#include "sim/usbdescriptors.h"
#include "sim/virtualmodule.h"

struct TVirtualBackend::TSlot {
  std::uint64_t Key = 0;
  std::shared_ptr<TVirtualModule> Module;
  bool Attached = true;
};

namespace {

class TVirtualPort : public TUsbPort {
public:
  explicit TVirtualPort(std::shared_ptr<TVirtualBackend::TSlot> slot) : Slot(std::move(slot)) {}

  TUsbStatus Control(std::uint8_t requestType, std::uint8_t request, std::uint16_t value,
                     std::uint16_t index, std::uint8_t* data, std::uint16_t length,
                     unsigned timeoutMs, std::uint32_t& transferred) override {
    transferred = 0;
    if (!Slot->Attached) return TUsbStatus::NoDevice;
    return Finish(
        Slot->Module->Control(requestType, request, value, index, data, length, transferred),
        timeoutMs, transferred);
  }

  TUsbStatus SetConfiguration(std::uint8_t value) override {
    if (!Slot->Attached) return TUsbStatus::NoDevice;
    return Slot->Module->SetConfiguration(value);
  }

  TUsbStatus SetInterface(std::uint8_t interfaceNumber, std::uint8_t alternateSetting) override {
    if (!Slot->Attached) return TUsbStatus::NoDevice;
    return Slot->Module->SetInterface(interfaceNumber, alternateSetting);
  }

  TUsbStatus Bulk(std::uint8_t endpoint, std::uint8_t* data, std::uint32_t length,
                  unsigned timeoutMs, std::uint32_t& transferred) override {
    transferred = 0;
    if (!Slot->Attached) return TUsbStatus::NoDevice;
    return Finish(Slot->Module->Bulk(endpoint, data, length, transferred), timeoutMs, transferred);
  }

  TUsbStatus Reset() override {
    if (!Slot->Attached) return TUsbStatus::NoDevice;
    Slot->Module->ResetPort();
    return TUsbStatus::Ok;
  }

private:
  TUsbStatus Finish(TUsbStatus status, unsigned timeoutMs, std::uint32_t& transferred) {
    if (status == TUsbStatus::Timeout) {
      Slot->Module->Clock().AdvanceMs(timeoutMs);
      transferred = 0;
    }
    return status;
  }

  std::shared_ptr<TVirtualBackend::TSlot> Slot;
};

} // namespace

TVirtualBackend::TVirtualBackend() : SimClock(std::make_shared<TSimClock>()) {}

TVirtualBackend::~TVirtualBackend() {
  for (auto& slot : Slots)
    slot->Module->OnUnplugRequest = nullptr;
}

std::shared_ptr<TVirtualModule> TVirtualBackend::Plug(const TModuleConfig& config) {
  auto module = std::make_shared<TVirtualModule>(SimClock, config);
  Plug(module);
  return module;
}

bool TVirtualBackend::Plug(const std::shared_ptr<TVirtualModule>& module) {
  if (!module) return false;
  for (const auto& slot : Slots)
    if (slot->Module == module) return false;
  auto slot = std::make_shared<TSlot>();
  slot->Key = NextKey++;
  slot->Module = module;
  module->PlugIn();
  TVirtualModule* raw = module.get();
  module->OnUnplugRequest = [this, raw] { Unplug(*raw); };
  Slots.push_back(std::move(slot));
  Pending.push_back(true);
  return true;
}

bool TVirtualBackend::Unplug(const TVirtualModule& module) {
  auto it = std::find_if(Slots.begin(), Slots.end(),
                         [&](const auto& slot) { return slot->Module.get() == &module; });
  if (it == Slots.end()) return false;
  std::shared_ptr<TSlot> slot = *it;
  Slots.erase(it);
  slot->Attached = false;
  slot->Module->OnUnplugRequest = nullptr;
  Pending.push_back(false);
  return true;
}

void TVirtualBackend::UnplugAll() {
  while (!Slots.empty())
    Unplug(*Slots.front()->Module);
}

std::vector<std::shared_ptr<TVirtualModule>> TVirtualBackend::Modules() const {
  std::vector<std::shared_ptr<TVirtualModule>> modules;
  for (const auto& slot : Slots)
    modules.push_back(slot->Module);
  return modules;
}

std::vector<TUsbDeviceId> TVirtualBackend::Enumerate() {
  std::vector<TUsbDeviceId> ids;
  for (const auto& slot : Slots)
    ids.push_back({slot->Key, TUsbDescriptors::VendorId, TUsbDescriptors::ProductId});
  return ids;
}

std::unique_ptr<TUsbPort> TVirtualBackend::Open(std::uint64_t key, TUsbStatus& status) {
  for (const auto& slot : Slots)
    if (slot->Key == key) {
      status = TUsbStatus::Ok;
      return std::make_unique<TVirtualPort>(slot);
    }
  status = TUsbStatus::NoDevice;
  return nullptr;
}

void TVirtualBackend::PollEvents() {
  // A handler may plug or unplug in turn; its events wait for the next poll.
  std::vector<bool> events;
  events.swap(Pending);
  for (bool arrival : events)
    if (OnChange) OnChange(arrival);
}
