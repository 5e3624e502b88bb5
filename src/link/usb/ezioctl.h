#pragma once

#include <cstdint>

// Device I/O control codes of the EZ-USB general-purpose driver.
constexpr std::uint32_t EzGetDeviceDescriptor = 0x222004; // out: 18 bytes
constexpr std::uint32_t EzGetConfigDescriptor = 0x222008; // out: 9 bytes, then wTotalLength
constexpr std::uint32_t EzResetPipe = 0x222031;           // reset, no buffers
constexpr std::uint32_t EzSetInterface = 0x222040;        // in: interface, alternate setting
constexpr std::uint32_t EzGetStringDescriptor = 0x222044; // in: index, language id (LE16)
constexpr std::uint32_t EzBulkRead = 0x22204E;            // in: pipe number (LE32)
constexpr std::uint32_t EzBulkWrite = 0x222051;           // in: pipe number; out buffer holds the data
constexpr std::uint32_t EzVendorRequest = 0x222059;       // in: 10-byte control block

// Vendor request control block (10 bytes).
struct TVendorRequestBlock {
  std::uint8_t Direction;   // 1 device-to-host, 0 host-to-device
  std::uint8_t RequestType; // 2 vendor
  std::uint8_t Recipient;   // 0 device
  std::uint8_t Reserved;    // 0
  std::uint8_t Request;
  std::uint8_t Unused;
  std::uint16_t Value;
  std::uint16_t Index;
};
constexpr std::uint32_t VendorRequestBlockSize = 10;
