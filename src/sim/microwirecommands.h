#pragma once

#include "sim/commandgroup.h"
#include "sim/serialmemparams.h"

class TMicrowirePart;

// Firmware of command group 0x80 (the tmEEPROM module): Microwire memories.
//  0x8001 connect: supply on, CLK/DI/CS low, ORG (P4) high for x16, WP (P8)
//         high, the pin check; then ORG and WP must read what is driven
//  0x8005 second connect of the 93S parts: PE (P4) and PRE (P8) must follow
//  0x8002/0x8003 read/write ([3..6] address, [7] count, [8..] data); the
//         S-29x90 (0x800C/0x800D) and 77007 (0x800A/0x800B) forms run the same
//  0x8004 erase all (ERAL, [3..6] the erase time allowed in ms)
//  0x8007/0x8008/0x8009 protect register clear/write ([8])/read ([8])
// Writes are enabled (EWEN) for one command and disabled (EWDS) after it; each
// programming cycle is awaited on DO up to the connect frame's write time.
class TMicrowireCommands : public TCommandGroup {
public:
  static constexpr std::uint64_t PollUs = 50;

  std::uint8_t Execute(TFirmwareContext& fw, const std::uint8_t* request,
                       std::uint8_t* reply) override;
  void Restart(TFirmwareContext& fw) override;

  TReplyCountFault ReplyFault;
  const TSerialMemParams& Params() const { return P; }

private:
  std::uint8_t Connect(TFirmwareContext& fw, const std::uint8_t* request, std::uint8_t* reply);
  std::uint8_t ConnectProtect(TFirmwareContext& fw, const std::uint8_t* request,
                              std::uint8_t* reply);
  std::uint8_t Read(TFirmwareContext& fw, TMicrowirePart* part, std::uint32_t address,
                    std::uint8_t count, std::uint8_t* out);
  std::uint8_t Write(TFirmwareContext& fw, TMicrowirePart& part, std::uint32_t address,
                     std::uint8_t count, const std::uint8_t* data, std::uint8_t& written);
  // Sends start bit, opcode and a field of `bits` bits, then `extra` bits of data.
  void Instruction(TFirmwareContext& fw, TMicrowirePart& part, int opcode, std::uint32_t field,
                   int bits, std::uint32_t data = 0, int dataBits = 0);
  // CS low (programming starts) and up again: waits for ready on DO.
  bool Finish(TFirmwareContext& fw, TMicrowirePart& part, std::uint64_t limitMs);
  void Enable(TFirmwareContext& fw, TMicrowirePart& part, bool on);
  bool Powered(TFirmwareContext& fw) const;

  TSerialMemParams P;
};
