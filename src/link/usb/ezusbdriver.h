#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "link/usb/usbbackend.h"
#include "link/usb/usbdriver.h"

// A vendor/product id pair that gets an "EZUSB-n" name.
struct TUsbIdPair {
  std::uint16_t Vendor;
  std::uint16_t Product;
  bool operator==(const TUsbIdPair&) const = default;
};

// The EZ-USB driver contract over a raw USB backend (libusb or the virtual
// module). Attached devices whose id is in the list get the names "EZUSB-n"
// in order of appearance, lowest free number first; a device keeps its name
// for as long as it stays attached. Each control code becomes the matching
// backend call.
class TEzUsbDriver : public TUsbDriver {
public:
  static constexpr const char* NamePrefix = "EZUSB-";
  // The unprogrammed FX2 controller: the module before its firmware runs.
  static std::vector<TUsbIdPair> DefaultIds() { return {{0x04B4, 0x8613}}; }

  explicit TEzUsbDriver(TUsbBackend& backend, std::vector<TUsbIdPair> ids = DefaultIds());
  ~TEzUsbDriver() override;
  TEzUsbDriver(const TEzUsbDriver&) = delete;
  TEzUsbDriver& operator=(const TEzUsbDriver&) = delete;

  // Devices already named keep their names only while their id stays listed.
  void SetDeviceIds(std::vector<TUsbIdPair> ids);
  const std::vector<TUsbIdPair>& DeviceIds() const { return Ids; }

  // The names given now, after a fresh enumeration, in order of appearance.
  std::vector<std::string> Names();

  bool Probe(const std::string& name) override;
  THandle Open(const std::string& name, int& sysError) override;
  bool Close(THandle handle, int& sysError) override;
  TDrvStatus IoControl(THandle handle, std::uint32_t code, const std::uint8_t* in,
                       std::uint32_t inSize, std::uint8_t* out, std::uint32_t outSize,
                       std::uint32_t& returned, std::uint32_t timeoutMs, int& sysError) override;
  void PollEvents() override;

private:
  // What the driver knows of one attached device; shared by its open handles,
  // which keep it after the device has gone so that their requests fail cleanly.
  struct TDevice {
    std::uint64_t Key = 0;
    std::unique_ptr<TUsbPort> Port; // open while any handle is
    int OpenHandles = 0;
    bool Gone = false;
    std::vector<std::uint8_t> ConfigDescriptor; // empty until first read in full
    std::uint8_t Interface = 0;
    std::uint8_t AlternateSetting = 0;
  };
  struct TAttached {
    TUsbDeviceId Id;
    int Number;
    bool AccessReported = false; // the permission message, once per arrival
    std::shared_ptr<TDevice> Device;
  };

  void Refresh();
  bool Listed(const TUsbDeviceId& id) const;
  TAttached* FindByName(const std::string& name);
  void ReportNoAccess(TAttached& attached);
  TUsbStatus LoadConfigDescriptor(TDevice& device, std::uint32_t timeoutMs);
  // The endpoint address of a pipe of the selected interface, 0 if none.
  bool PipeEndpoint(const TDevice& device, std::uint32_t pipe, std::uint8_t& address,
                    std::uint8_t& attributes) const;

  TUsbBackend& Backend;
  std::vector<TUsbIdPair> Ids;
  std::vector<TAttached> Attached; // in order of appearance
  std::map<THandle, std::shared_ptr<TDevice>> Handles;
  THandle NextHandle = 1;
};
