#include "link/usb/libusbbackend.h"

// The library's header uses zero-sized arrays, which pedantic C++ rejects.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpedantic"
#include <libusb.h>
#pragma GCC diagnostic pop

#include <algorithm>
#include <climits>
#include <map>
#include <set>
#include <tuple>

struct TLibUsbBackend::TContext {
  explicit TContext(libusb_context* ctx) : Ctx(ctx) {}
  ~TContext() { libusb_exit(Ctx); }
  TContext(const TContext&) = delete;
  TContext& operator=(const TContext&) = delete;
  libusb_context* Ctx;
};

namespace {

TUsbStatus MapError(int error) {
  switch (error) {
  case LIBUSB_SUCCESS:
    return TUsbStatus::Ok;
  case LIBUSB_ERROR_TIMEOUT:
    return TUsbStatus::Timeout;
  case LIBUSB_ERROR_PIPE:
    return TUsbStatus::Stall;
  case LIBUSB_ERROR_NO_DEVICE:
  case LIBUSB_ERROR_NOT_FOUND:
    return TUsbStatus::NoDevice;
  case LIBUSB_ERROR_ACCESS:
    return TUsbStatus::Access;
  default:
    return TUsbStatus::Error;
  }
}

// libusb reads a time-out of 0 as "wait for ever"; every request here is bounded.
unsigned Bounded(unsigned timeoutMs) {
  return timeoutMs == 0 ? 1 : timeoutMs;
}

class TLibUsbPort final : public TUsbPort {
public:
  TLibUsbPort(std::shared_ptr<TLibUsbBackend::TContext> context, libusb_device_handle* handle)
      : Context(std::move(context)), Handle(handle) {
    Claimed.insert(0);
  }
  ~TLibUsbPort() override {
    for (int i : Claimed)
      libusb_release_interface(Handle, i);
    libusb_close(Handle);
  }
  TLibUsbPort(const TLibUsbPort&) = delete;
  TLibUsbPort& operator=(const TLibUsbPort&) = delete;

  TUsbStatus Control(std::uint8_t requestType, std::uint8_t request, std::uint16_t value,
                     std::uint16_t index, std::uint8_t* data, std::uint16_t length,
                     unsigned timeoutMs, std::uint32_t& transferred) override {
    transferred = 0;
    int r = libusb_control_transfer(Handle, requestType, request, value, index, data, length,
                                    Bounded(timeoutMs));
    if (r < 0) return MapError(r);
    transferred = static_cast<std::uint32_t>(r);
    return TUsbStatus::Ok;
  }

  TUsbStatus SetConfiguration(std::uint8_t value) override {
    // A configuration cannot change under claimed interfaces.
    for (int i : Claimed)
      libusb_release_interface(Handle, i);
    Claimed.clear();
    Alternate.clear();
    int r = libusb_set_configuration(Handle, value);
    if (libusb_claim_interface(Handle, 0) == LIBUSB_SUCCESS) Claimed.insert(0);
    return MapError(r);
  }

  TUsbStatus SetInterface(std::uint8_t interfaceNumber, std::uint8_t alternateSetting) override {
    if (!Claimed.count(interfaceNumber)) {
      int r = libusb_claim_interface(Handle, interfaceNumber);
      if (r != LIBUSB_SUCCESS) return MapError(r);
      Claimed.insert(interfaceNumber);
    }
    int r = libusb_set_interface_alt_setting(Handle, interfaceNumber, alternateSetting);
    if (r == LIBUSB_SUCCESS) Alternate[interfaceNumber] = alternateSetting;
    return MapError(r);
  }

  TUsbStatus Bulk(std::uint8_t endpoint, std::uint8_t* data, std::uint32_t length,
                  unsigned timeoutMs, std::uint32_t& transferred) override {
    transferred = 0;
    if (length > static_cast<std::uint32_t>(INT_MAX)) return TUsbStatus::Error;
    int done = 0;
    int r = IsInterrupt(endpoint)
                ? libusb_interrupt_transfer(Handle, endpoint, data, static_cast<int>(length), &done,
                                            Bounded(timeoutMs))
                : libusb_bulk_transfer(Handle, endpoint, data, static_cast<int>(length), &done,
                                       Bounded(timeoutMs));
    transferred = done > 0 ? static_cast<std::uint32_t>(done) : 0;
    return MapError(r);
  }

  TUsbStatus Reset() override {
    // The kernel puts the claimed interfaces back into their alternate settings.
    return MapError(libusb_reset_device(Handle));
  }

private:
  // The endpoint's type in the alternate settings now selected.
  bool IsInterrupt(std::uint8_t endpoint) const {
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_active_config_descriptor(libusb_get_device(Handle), &config) != 0) return false;
    bool interrupt = false;
    for (int i = 0; i < config->bNumInterfaces; ++i) {
      const libusb_interface& itf = config->interface[i];
      for (int a = 0; a < itf.num_altsetting; ++a) {
        const libusb_interface_descriptor& alt = itf.altsetting[a];
        auto sel = Alternate.find(alt.bInterfaceNumber);
        int selected = sel == Alternate.end() ? 0 : sel->second;
        if (!Claimed.count(alt.bInterfaceNumber) || alt.bAlternateSetting != selected) continue;
        for (int e = 0; e < alt.bNumEndpoints; ++e)
          if (alt.endpoint[e].bEndpointAddress == endpoint)
            interrupt = (alt.endpoint[e].bmAttributes & 3) == LIBUSB_TRANSFER_TYPE_INTERRUPT;
      }
    }
    libusb_free_config_descriptor(config);
    return interrupt;
  }

  std::shared_ptr<TLibUsbBackend::TContext> Context;
  libusb_device_handle* Handle;
  std::set<int> Claimed;
  std::map<int, int> Alternate;
};

} // namespace

TLibUsbBackend::TLibUsbBackend() {
  libusb_context* ctx = nullptr;
  if (libusb_init(&ctx) != LIBUSB_SUCCESS) return; // no USB here: no devices
  Context = std::make_shared<TContext>(ctx);
  if (libusb_has_capability(LIBUSB_CAP_HAS_HOTPLUG)) {
    HotplugRegistered = libusb_hotplug_register_callback(
                            ctx,
                            static_cast<libusb_hotplug_event>(LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED |
                                                              LIBUSB_HOTPLUG_EVENT_DEVICE_LEFT),
                            static_cast<libusb_hotplug_flag>(0), LIBUSB_HOTPLUG_MATCH_ANY,
                            LIBUSB_HOTPLUG_MATCH_ANY, LIBUSB_HOTPLUG_MATCH_ANY,
                            [](libusb_context* c, libusb_device* d, libusb_hotplug_event e,
                               void* self) { return HotplugCallback(c, d, e, self); },
                            this, &HotplugHandle) == LIBUSB_SUCCESS;
  }
  Update();
  for (const TKnown& k : Known)
    Reported.push_back(k.Key);
}

TLibUsbBackend::~TLibUsbBackend() {
  if (!Context) return;
  if (HotplugRegistered) libusb_hotplug_deregister_callback(Context->Ctx, HotplugHandle);
  for (TKnown& k : Known)
    libusb_unref_device(k.Device);
  // Ports still open keep the context alive through their share of it.
}

int TLibUsbBackend::HotplugCallback(libusb_context*, libusb_device*, int event, void* self) {
  // Called inside libusb's event handling: only note it; PollEvents delivers it.
  static_cast<TLibUsbBackend*>(self)->PendingEvents.push_back(event ==
                                                              LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED);
  return 0; // stay registered
}

void TLibUsbBackend::Update() {
  if (!Context) return;
  libusb_device** list = nullptr;
  ssize_t count = libusb_get_device_list(Context->Ctx, &list);
  if (count < 0) return; // keep what we know rather than lose every key
  std::set<libusb_device*> present(list, list + count);
  std::erase_if(Known, [&](const TKnown& k) {
    if (present.count(k.Device)) return false;
    libusb_unref_device(k.Device);
    return true;
  });
  // Devices found together are taken in bus and address order, which is the
  // order the bus gave them addresses in.
  std::vector<std::tuple<int, int, libusb_device*>> fresh;
  for (ssize_t i = 0; i < count; ++i) {
    libusb_device* dev = list[i];
    if (std::none_of(Known.begin(), Known.end(), [&](const TKnown& k) { return k.Device == dev; }))
      fresh.emplace_back(libusb_get_bus_number(dev), libusb_get_device_address(dev), dev);
  }
  std::sort(fresh.begin(), fresh.end());
  for (auto& [bus, address, dev] : fresh) {
    libusb_device_descriptor desc{};
    if (libusb_get_device_descriptor(dev, &desc) != LIBUSB_SUCCESS) continue;
    Known.push_back({libusb_ref_device(dev), NextKey++, desc.idVendor, desc.idProduct});
  }
  libusb_free_device_list(list, 1);
}

std::vector<TUsbDeviceId> TLibUsbBackend::Enumerate() {
  Update();
  std::vector<TUsbDeviceId> ids;
  for (const TKnown& k : Known)
    ids.push_back({k.Key, k.Vendor, k.Product});
  return ids;
}

std::unique_ptr<TUsbPort> TLibUsbBackend::Open(std::uint64_t key, TUsbStatus& status) {
  status = TUsbStatus::NoDevice;
  auto it = std::find_if(Known.begin(), Known.end(), [&](const TKnown& k) { return k.Key == key; });
  if (!Context || it == Known.end()) return nullptr;
  libusb_device_handle* handle = nullptr;
  int r = libusb_open(it->Device, &handle);
  if (r != LIBUSB_SUCCESS) {
    status = MapError(r);
    if (status == TUsbStatus::Ok) status = TUsbStatus::Error;
    return nullptr;
  }
  // A kernel driver bound to the interface would keep us out; auto-detach
  // also gives it back when we let go.
  if (libusb_set_auto_detach_kernel_driver(handle, 1) != LIBUSB_SUCCESS &&
      libusb_kernel_driver_active(handle, 0) == 1)
    libusb_detach_kernel_driver(handle, 0);
  int config = -1;
  if (libusb_get_configuration(handle, &config) == LIBUSB_SUCCESS && config == 0)
    libusb_set_configuration(handle, 1);
  r = libusb_claim_interface(handle, 0);
  if (r != LIBUSB_SUCCESS) {
    libusb_close(handle);
    status = MapError(r);
    return nullptr;
  }
  status = TUsbStatus::Ok;
  return std::make_unique<TLibUsbPort>(Context, handle);
}

void TLibUsbBackend::PollEvents() {
  if (!Context) return;
  if (HotplugRegistered) {
    timeval zero{0, 0};
    libusb_handle_events_timeout_completed(Context->Ctx, &zero, nullptr);
    while (!PendingEvents.empty()) {
      bool arrival = PendingEvents.front();
      PendingEvents.pop_front();
      Update();
      if (OnChange) OnChange(arrival);
    }
    return;
  }
  // No hotplug here: the work of a one-second polling timer.
  auto now = std::chrono::steady_clock::now();
  if (Polled && now - LastPoll < std::chrono::seconds(1)) return;
  Polled = true;
  LastPoll = now;
  Update();
  std::vector<std::uint64_t> keys;
  for (const TKnown& k : Known)
    keys.push_back(k.Key);
  std::vector<bool> events;
  for (std::uint64_t key : Reported)
    if (std::find(keys.begin(), keys.end(), key) == keys.end()) events.push_back(false);
  for (std::uint64_t key : keys)
    if (std::find(Reported.begin(), Reported.end(), key) == Reported.end()) events.push_back(true);
  Reported = std::move(keys);
  for (bool arrival : events)
    if (OnChange) OnChange(arrival);
}
