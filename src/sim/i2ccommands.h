#pragma once

#include "sim/commandgroup.h"
#include "sim/serialmemparams.h"

class TI2CEeprom;

// Group 0x70 of tmEEPROM: the I2C memories. The firmware bit-bangs the bus at
// the clock the connect frame gives (byte 10, 2 us units per clock period),
// polls the acknowledge while a write cycle runs (up to the write time of byte
// 9), and writes in page-sized pieces it can be sure of: 16 bytes for two-byte
// addresses, 8 for one, 4 for the X24C01 and single bytes for the X24C00.
//
// Statuses: 2 frame error (not connected, count outside 1..56), 5 the pin
// check, 16 WP high, 22 no acknowledge, 23 SDA held low at connect, 1 a write
// cycle that does not end.
class TI2CCommands : public TCommandGroup {
public:
  static constexpr std::uint8_t Group = 0x70;

  std::uint8_t Execute(TFirmwareContext& fw, const std::uint8_t* request,
                       std::uint8_t* reply) override;
  void Restart(TFirmwareContext& fw) override;

  TSerialMemParams Params;
  std::uint8_t Slave = 0xA0;
  std::uint8_t Pin7Mode = 0;
  TReplyCountFault CountFault;

  static constexpr unsigned MeasureUs = 2000;

private:
  enum class TAddressing { ControlByte, AddressByte };
  std::uint8_t Connect(TFirmwareContext& fw, const std::uint8_t* request, std::uint8_t* reply);
  std::uint8_t Read(TFirmwareContext& fw, TI2CEeprom* part, TAddressing mode, std::uint32_t address,
                    std::uint8_t count, std::uint8_t* data);
  std::uint8_t Write(TFirmwareContext& fw, TI2CEeprom* part, TAddressing mode,
                     std::uint32_t address, std::uint8_t count, const std::uint8_t* data,
                     std::uint32_t piece);
  // START and the first byte, repeated while the part does not acknowledge,
  // for at most the write time. False when it never answered.
  bool Select(TFirmwareContext& fw, TI2CEeprom* part, std::uint8_t first);
  bool SendByte(TFirmwareContext& fw, TI2CEeprom* part, std::uint8_t value);
  std::uint8_t FirstByte(TAddressing mode, std::uint32_t address, bool read) const;
};
