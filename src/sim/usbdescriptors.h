#pragma once

#include <cstddef>
#include <cstdint>

struct TModuleStrings;

// The module's standard descriptors: an FX2-class device 04B4:8613 with one
// configuration; interface 0 has alternate setting 0 without endpoints and
// alternate setting 1 with bulk 0x01 OUT and 0x81 IN (64 bytes) and bulk 0x82
// IN (512 bytes, the sample endpoint).
class TUsbDescriptors {
public:
  static constexpr std::uint16_t VendorId = 0x04B4;
  static constexpr std::uint16_t ProductId = 0x8613;
  static constexpr std::uint8_t EpCommandOut = 0x01;
  static constexpr std::uint8_t EpCommandIn = 0x81;
  static constexpr std::uint8_t EpSamplesIn = 0x82;
  static constexpr std::uint16_t CommandPacketSize = 64;
  static constexpr std::uint16_t SamplePacketSize = 512;
  static constexpr std::uint8_t AltSettingCount = 2;

  static const std::uint8_t* Device(std::size_t& size);
  static const std::uint8_t* Configuration(std::size_t& size);

  // String descriptor `index` into out (at most 256 bytes); 0 gives the
  // language table. Returns the descriptor's length, or 0 when the module has
  // no such string (indices other than 0, 1, 2, 3, 7, 8).
  static std::size_t String(std::uint8_t index, const TModuleStrings& strings, std::uint8_t* out);
};
