#include "sim/usbdescriptors.h"

#include <algorithm>
#include <string>

#include "sim/moduleconfig.h"

namespace {

constexpr std::uint8_t DeviceDescriptor[18] = {
    18,   1,          // bLength, DEVICE
    0x00, 0x02,       // USB 2.0
    0xFF, 0xFF, 0xFF, // vendor-specific class
    64,               // bMaxPacketSize0
    0xB4, 0x04,       // idVendor
    0x13, 0x86,       // idProduct
    0x01, 0xA0,       // bcdDevice
    1,    2,    3,    // iManufacturer, iProduct, iSerialNumber
    1};               // bNumConfigurations

constexpr std::uint8_t ConfigDescriptor[] = {
    // configuration 1: one interface, bus powered, 200 mA
    9, 2, 48, 0, 1, 1, 0, 0x80, 100,
    // interface 0, alternate setting 0: no endpoints
    9, 4, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0,
    // interface 0, alternate setting 1: three endpoints
    9, 4, 0, 1, 3, 0xFF, 0xFF, 0xFF, 0, 7, 5, 0x01, 2, 64, 0, 0, // EP1 OUT bulk 64
    7, 5, 0x81, 2, 64, 0, 0,                                     // EP1 IN bulk 64
    7, 5, 0x82, 2, 0, 2, 0};                                     // EP2 IN bulk 512
static_assert(sizeof ConfigDescriptor == 48);

} // namespace

const std::uint8_t* TUsbDescriptors::Device(std::size_t& size) {
  size = sizeof DeviceDescriptor;
  return DeviceDescriptor;
}

const std::uint8_t* TUsbDescriptors::Configuration(std::size_t& size) {
  size = sizeof ConfigDescriptor;
  return ConfigDescriptor;
}

std::size_t TUsbDescriptors::String(std::uint8_t index, const TModuleStrings& strings,
                                    std::uint8_t* out) {
  const std::string* text = nullptr;
  switch (index) {
  case 0:
    out[0] = 4;
    out[1] = 3;
    out[2] = 0x09; // English (United States)
    out[3] = 0x04;
    return 4;
  case 1:
    text = &strings.Manufacturer;
    break;
  case 2:
    text = &strings.Product;
    break;
  case 3:
    text = &strings.Serial;
    break;
  case 7:
    text = &strings.Kind;
    break;
  case 8:
    text = &strings.Version;
    break;
  default:
    return 0;
  }
  // An empty string is still a descriptor (bLength 2), so that a blank module
  // reads back empty strings rather than failing requests.
  const std::size_t chars = std::min<std::size_t>(text->size(), 126);
  out[0] = static_cast<std::uint8_t>(2 + 2 * chars);
  out[1] = 3;
  for (std::size_t i = 0; i < chars; ++i) {
    out[2 + 2 * i] = static_cast<std::uint8_t>((*text)[i]);
    out[3 + 2 * i] = 0;
  }
  return out[0];
}
