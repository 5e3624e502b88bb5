#include "sim/spieeprompart.h"

TSpiEepromPart::TSpiEepromPart(std::uint32_t capacity)
    : TSpiMemoryPart(capacity, PageSizeFor(capacity)) {}

std::uint32_t TSpiEepromPart::PageSizeFor(std::uint32_t capacity) {
  if (capacity <= 2048) return 16;
  if (capacity <= 8192) return 32;
  return 64;
}

TSpiMemoryPart::TOp TSpiEepromPart::Decode(std::uint8_t opcode, std::uint32_t& address) const {
  if (Capacity() == 512 && (opcode & 0xF7) <= 0x03 && (opcode & 0xF7) >= 0x02) {
    address = (opcode >> 3) & 1; // A8, shifted up by the address byte
    return TSpiMemoryPart::Decode(opcode & 0xF7, address);
  }
  return TSpiMemoryPart::Decode(opcode, address);
}
