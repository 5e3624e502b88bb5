#pragma once

#include <cstdint>
#include <memory>

#include "sim/commandgroup.h"
#include "sim/mismempart.h"
#include "sim/serialmemparams.h"

// What the tmEEPROM_MIS firmware keeps between frames: the parameters of the
// last connect frame. Shared by its groups because a part may connect through
// one group and move data through another (the CAT64 parts).
struct TMisMemSession {
  bool Connected = false;
  TMisProtocol Protocol = TMisProtocol::M6M; // the protocol that connected
  unsigned BitUs = 2;                        // one bus clock period
  std::uint32_t WriteWaitMs = 0;             // connect byte 9
  bool Words = false;                        // 16-bit organisation: word addresses
  std::uint8_t AddressLength = 0;            // connect byte 12
  bool WriteEnabled = false;
};

// A control line the firmware drives both ways at connect and reads back;
// a line that does not follow gives the status.
struct TMisPinCheck {
  int Pin = -1; // TPinIndex, -1 ends the list
  std::uint8_t Status = 0;
};

// How one command group of the module behaves: which parts it connects and
// moves data for, its chip erase, the lines it checks and their idle levels.
struct TMisGroupSpec {
  std::uint8_t Group = 0;
  std::uint8_t ConnectProtocols = 0; // bit per TMisProtocol; 0: the group has no connect
  std::uint8_t DataProtocols = 0;    // bit per TMisProtocol accepted by read and write
  bool ChipErase = false;            // low byte 0x04
  TMisPinCheck Checks[4];
  // Levels left on P2, P3, P4, P6, P7, P8 after connect (0 low, 1 high, 2 released);
  // an entry of 3 on P4 follows the organisation (high for 16 bits).
  std::uint8_t Idle[6] = {2, 2, 2, 2, 2, 2};
  std::uint8_t NoAnswerStatus = 1; // a part that stays silent
};

constexpr std::uint8_t MisBit(TMisProtocol p) {
  return static_cast<std::uint8_t>(1u << static_cast<unsigned>(p));
}

// The generic firmware of a tmEEPROM_MIS group: low byte 0x01 connect,
// 0x02 read, 0x03 write, 0x04 chip erase, with the serial-memory frame
// layout ([3..6] address, [7] count, [8..] data; connect bytes 8..12 and
// the pin check block at 32..63).
class TMisMemCommands : public TCommandGroup {
public:
  TMisMemCommands(std::shared_ptr<TMisMemSession> session, const TMisGroupSpec& partDesc);

  std::uint8_t Execute(TFirmwareContext& fw, const std::uint8_t* request,
                       std::uint8_t* reply) override;
  void Restart(TFirmwareContext& fw) override;

  static constexpr unsigned MaxCount = 56;
  // Replaces the count of every read and write reply (a firmware fault).
  TReplyCountFault ReplyFault;

private:
  std::uint8_t Connect(TFirmwareContext& fw, TMisMemPart* part, const std::uint8_t* request,
                       std::uint8_t* reply);
  std::uint8_t Read(TFirmwareContext& fw, TMisMemPart& part, const std::uint8_t* request,
                    std::uint8_t* reply);
  std::uint8_t Write(TFirmwareContext& fw, TMisMemPart& part, const std::uint8_t* request,
                     std::uint8_t* reply);
  std::uint8_t Erase(TFirmwareContext& fw, TMisMemPart& part);
  // Waits out one write cycle: StatusOk, or the status of a part that never
  // became ready or had not finished.
  std::uint8_t WriteCycle(TFirmwareContext& fw, TMisMemPart& part);
  void EnableWrites(TFirmwareContext& fw, TMisMemPart& part);
  unsigned InstructionBits(const TMisMemPart& part) const;
  // The part behind the pins when it answers this group's data commands.
  TMisMemPart* Answering(TFirmwareContext& fw, std::uint8_t protocols) const;

  std::shared_ptr<TMisMemSession> Session;
  TMisGroupSpec PartDesc;
};

// Frame status bytes of the miscellaneous memories' faults.
constexpr std::uint8_t StatusNoAnswer = 1;
constexpr std::uint8_t StatusWriteError = 12;
