#pragma once

#include <memory>

#include "sim/spimemorypart.h"

// A 25xx / ST95xxx SPI EEPROM: one address byte up to 4 kbit (the 4-kbit parts
// carry A8 in bit 3 of the READ and WRITE opcodes), two above; pages of 16, 32
// or 64 bytes by size; BP1:BP0 protect the upper quarter, half or all.
class TSpiEepromPart : public TSpiMemoryPart {
public:
  explicit TSpiEepromPart(std::uint32_t capacity);
  static std::uint32_t PageSizeFor(std::uint32_t capacity);

protected:
  TOp Decode(std::uint8_t opcode, std::uint32_t& address) const override;
  int AddressBytes() const override { return Capacity() <= 512 ? 1 : 2; }
};
