#pragma once

#include "sim/commandgroup.h"
#include "sim/serialmemparams.h"

class TSpiMemoryPart;

// Firmware of command group 0x60 (the tmEEPROM module): SPI memories.
//  0x6001 connect: supply on, CS high, CLK/DI low, WP (P4) and HOLD (P8)
//         high, the pin check; then WP and HOLD must read high
//  0x6002/0x6003 read/write ([3..6] address, [7] count, [8..] data); the
//         address takes 1 byte (A8 in the opcode), 2 or 3 by the connect
//         frame's address length; writes are split at 16-byte pages
//  0x6004/0x6005 status register read/write ([8])
//  0x6006/0x6007 counter write (WRINC)/read of the M35080
//  0x6008 the M35080's service erase, 0x600C its array erase
//  0x600A bulk erase of the M25P (returns at once: the host waits)
//  0x600B page program of the M25P, split at 256-byte pages
// Before an instruction the firmware waits while WIP is set; after a write it
// polls WIP up to the connect frame's write time.
class TSpiCommands : public TCommandGroup {
public:
  static constexpr std::uint64_t PollUs = 100;
  static constexpr std::uint64_t IdleLimitMs = 60000;

  std::uint8_t Execute(TFirmwareContext& fw, const std::uint8_t* request,
                       std::uint8_t* reply) override;
  void Restart(TFirmwareContext& fw) override;

  TReplyCountFault ReplyFault;
  const TSerialMemParams& Params() const { return P; }

private:
  std::uint8_t Connect(TFirmwareContext& fw, const std::uint8_t* request, std::uint8_t* reply);
  void Read(TFirmwareContext& fw, TSpiMemoryPart* part, std::uint32_t address, int count,
            std::uint8_t* out);
  std::uint8_t Write(TFirmwareContext& fw, TSpiMemoryPart& part, std::uint8_t opcode,
                     std::uint32_t page, std::uint32_t address, int count, const std::uint8_t* data,
                     std::uint8_t& written);
  // Opcode and address bytes of a READ/WRITE-type instruction.
  void Header(TFirmwareContext& fw, TSpiMemoryPart& part, std::uint8_t opcode,
              std::uint32_t address);
  void Simple(TFirmwareContext& fw, TSpiMemoryPart& part, std::uint8_t opcode);
  bool WaitIdle(TFirmwareContext& fw, TSpiMemoryPart& part, std::uint64_t limitMs);
  int AddressBytes() const;

  TSerialMemParams P;
};
