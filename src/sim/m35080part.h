#pragma once

#include "sim/spimemorypart.h"

// An M35080: 1 KB SPI EEPROM with two address bytes and 32-byte pages whose
// first 32 bytes are sixteen 16-bit counters (high byte first). A counter is
// written with WRINC (07h) and only ever counts up: a lower value is refused.
// WRITE does not reach the counters. The service erase (the firmware's
// 0x6008) clears the array to FFh and the counters to 0.
class TM35080Part : public TSpiMemoryPart {
public:
  TM35080Part();

  static constexpr std::uint32_t CounterBytes = 32;
  std::uint64_t ServiceEraseUs = 10000;
  void ServiceErase(std::uint64_t nowUs);
  std::uint16_t Counter(int index) const;

protected:
  TOp Decode(std::uint8_t opcode, std::uint32_t& address) const override;
  int AddressBytes() const override { return 2; }
  bool AcceptWrite(std::uint32_t pageBase) override;
};
