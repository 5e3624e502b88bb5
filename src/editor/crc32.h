#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// CRC-32 of IEEE 802.3 / zlib over the reflected polynomial EDB88320h, with
// no final inversion: the register is shown as it stands after the last byte.
inline constexpr uint32_t Crc32Start = 0xFFFFFFFFu; // the CRC button's start value

// Runs `length` bytes through the register.
void UpdateCrc32(const uint8_t* data, size_t length, uint32_t& crc);

// The CRC edit's text: 8 upper-case hex digits and "h" ("340BC6D9h").
std::string Crc32Text(uint32_t crc);
