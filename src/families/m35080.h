#pragma once

#include "families/e2mem.h"

// The M35080: 1 KB SPI EEPROM whose buffer offsets 0..31 are sixteen 16-bit
// counters, read (0x6007) and written (0x6006) as whole words; the rest is
// read and written one byte per command (0x6002/0x6003). Erase is 0x600C, or
// the service erase 0x6008 when the range ends at ServiceEnd.
class TM35080 : public TE2MEM {
public:
  explicit TM35080(const TDevInfo& info) : TE2MEM(info) {}

  static constexpr int CounterBytes = 32;
  static constexpr int ServiceEnd = 0x2D6;

  void SetModule(TDevicePage* page) override;
  TTaskResult InitConnection() override;
  TTaskResult ReadBlock(int& address, std::uint8_t* buffer) override;
  TTaskResult WriteBlock(int& address, const std::uint8_t* data, std::uint8_t count) override;
  TTaskResult DeviceRead() override;
  TTaskResult DeviceProgram() override;
  TTaskResult EraseAll() override;

private:
  TTaskResult Block(std::uint16_t command, int& address, std::uint8_t count,
                    const std::uint8_t* data, std::uint8_t* buffer);
  // Counters are written as whole words, the rest byte by byte.
  static int BlockStart(int offset) { return offset < CounterBytes ? (offset & ~1) : offset; }
  int MarkedBlock(int offset, std::uint8_t& count) const override;
};
