#include "sim/mismemcommands.h"

#include <algorithm>
#include <limits>

#include "sim/firmwarecontext.h"
#include "sim/pinmodel.h"
#include "sim/simclock.h"

namespace {

std::uint32_t GetLong(const std::uint8_t* f, int at) {
  return f[at] | (f[at + 1] << 8) | (f[at + 2] << 16) |
         (static_cast<std::uint32_t>(f[at + 3]) << 24);
}

bool Follows(TPinModel& pins, int pin) {
  pins.SetLogicState(pin, 0);
  const bool low = !pins.High(pin);
  pins.SetLogicState(pin, 1);
  return low && pins.High(pin);
}

} // namespace

unsigned TMisMemCommands::InstructionBits(const TMisMemPart& part) const {
  // The address goes out with the length the connect frame gave (e2len).
  return part.Facts().InstructionBits + Session->AddressLength;
}

TMisMemCommands::TMisMemCommands(std::shared_ptr<TMisMemSession> session,
                                 const TMisGroupSpec& partDesc)
    : Session(std::move(session)), PartDesc(partDesc) {}

void TMisMemCommands::Restart(TFirmwareContext& fw) {
  (void)fw;
  *Session = TMisMemSession{};
}

TMisMemPart* TMisMemCommands::Answering(TFirmwareContext& fw, std::uint8_t protocols) const {
  auto* part = dynamic_cast<TMisMemPart*>(fw.Target);
  if (!part || !part->Powered() || part->Faults.Silent) return nullptr;
  if ((protocols & MisBit(part->Protocol())) == 0) return nullptr;
  return part;
}

std::uint8_t TMisMemCommands::Execute(TFirmwareContext& fw, const std::uint8_t* request,
                                      std::uint8_t* reply) {
  const std::uint8_t op = request[0];
  if (op == 0x01 && PartDesc.ConnectProtocols != 0)
    return Connect(fw, dynamic_cast<TMisMemPart*>(fw.Target), request, reply);
  if (op < 0x02 || op > 0x04 || (op == 0x04 && !PartDesc.ChipErase)) return StatusFrameError;

  // Data commands need a connected session (power on) and a part speaking this protocol.
  fw.Clock.Advance(Session->BitUs * 8);
  TMisMemPart* part = Answering(fw, PartDesc.DataProtocols);
  if (!Session->Connected || !fw.Pins.SupplyOn() || !part) return PartDesc.NoAnswerStatus;
  if (op == 0x04) return Erase(fw, *part);
  const std::uint8_t status =
      op == 0x02 ? Read(fw, *part, request, reply) : Write(fw, *part, request, reply);
  if (status == StatusOk) ReplyFault.Apply(reply);
  return status;
}

std::uint8_t TMisMemCommands::Connect(TFirmwareContext& fw, TMisMemPart* part,
                                      const std::uint8_t* request, std::uint8_t* reply) {
  TMisMemSession& s = *Session;
  s = TMisMemSession{};
  TPinModel& pins = fw.Pins;
  pins.SetSupply(true);
  fw.Clock.AdvanceMs(request[8] * 10u);
  const std::uint8_t check = pins.CheckBlock(request, reply);
  if (check != 0) return check;

  for (const auto& c : PartDesc.Checks) {
    if (c.Pin < 0) break;
    if (!Follows(pins, c.Pin)) return c.Status;
  }
  s.Words = request[11] == 16;
  for (int i = 0; i < 6; ++i) {
    std::uint8_t level = PartDesc.Idle[i];
    if (level == 3) level = s.Words ? 1 : 0;
    pins.SetLogicState(PinP2 + i, level);
  }
  s.BitUs = std::max(1u, 2u * request[10]);
  s.WriteWaitMs = request[9];
  s.AddressLength = request[12];
  // The part answers its first instruction (a status poll) or the connect fails.
  fw.Clock.Advance(s.BitUs * 8);
  if (!part || !part->Powered() || part->Faults.Silent ||
      (PartDesc.ConnectProtocols & MisBit(part->Protocol())) == 0)
    return PartDesc.NoAnswerStatus;
  s.Protocol = part->Protocol();
  s.Connected = true;
  return StatusOk;
}

std::uint8_t TMisMemCommands::Read(TFirmwareContext& fw, TMisMemPart& part,
                                   const std::uint8_t* request, std::uint8_t* reply) {
  const unsigned count = request[7];
  if (count == 0 || count > MaxCount) return StatusFrameError;
  const TMisMemSession& s = *Session;
  const std::size_t offset = static_cast<std::size_t>(GetLong(request, 3)) * (s.Words ? 2 : 1);
  for (unsigned i = 0; i < count; ++i)
    reply[8 + i] = part.Cell(offset + i);
  // One instruction per word or byte: these parts have no sequential read.
  const unsigned units = s.Words ? (count + 1) / 2 : count;
  const unsigned unitBits = InstructionBits(part) + (s.Words ? 16 : 8);
  fw.Clock.Advance(static_cast<std::uint64_t>(units) * unitBits * s.BitUs);
  reply[7] = static_cast<std::uint8_t>(count);
  return StatusOk;
}

void TMisMemCommands::EnableWrites(TFirmwareContext& fw, TMisMemPart& part) {
  if (Session->WriteEnabled) return;
  fw.Clock.Advance(static_cast<std::uint64_t>(InstructionBits(part)) * Session->BitUs);
  Session->WriteEnabled = true;
}

std::uint8_t TMisMemCommands::WriteCycle(TFirmwareContext& fw, TMisMemPart& part) {
  const std::uint64_t waitUs = Session->WriteWaitMs * 1000ull;
  const std::uint64_t cycleUs =
      part.Faults.StaysBusy ? std::numeric_limits<std::uint64_t>::max() : part.Facts().WriteCycleUs;
  if (!part.Facts().ReadyBusy) {
    // No ready output: the firmware waits the device's write time; a part
    // still writing after it fails the read-back.
    fw.Clock.Advance(waitUs);
    return cycleUs <= waitUs ? StatusOk : StatusWriteError;
  }
  // Ready/busy parts are polled for up to twice the write time.
  const std::uint64_t limitUs = std::max<std::uint64_t>(2 * waitUs, 1000);
  if (cycleUs > limitUs) {
    fw.Clock.Advance(limitUs);
    return StatusNoAnswer;
  }
  fw.Clock.Advance(cycleUs);
  return StatusOk;
}

std::uint8_t TMisMemCommands::Write(TFirmwareContext& fw, TMisMemPart& part,
                                    const std::uint8_t* request, std::uint8_t* reply) {
  const unsigned count = request[7];
  if (count == 0 || count > MaxCount) return StatusFrameError;
  const TMisMemSession& s = *Session;
  const std::size_t offset = static_cast<std::size_t>(GetLong(request, 3)) * (s.Words ? 2 : 1);
  const unsigned unit = s.Words ? 2 : 1;
  EnableWrites(fw, part);
  unsigned done = 0;
  for (unsigned i = 0; i < count; i += unit) {
    // A word cut short keeps the cell's other byte.
    std::uint8_t data[2];
    for (unsigned j = 0; j < unit; ++j)
      data[j] = i + j < count ? request[8 + i + j] : part.Cell(offset + i + j);
    fw.Clock.Advance(static_cast<std::uint64_t>(InstructionBits(part) + 8 * unit) * s.BitUs);
    for (unsigned j = 0; j < unit; ++j)
      part.WriteCell(offset + i + j, data[j]);
    if (const std::uint8_t cycle = WriteCycle(fw, part); cycle != StatusOk) {
      reply[7] = static_cast<std::uint8_t>(done);
      return cycle;
    }
    // The firmware reads each unit back after its cycle.
    fw.Clock.Advance(static_cast<std::uint64_t>(InstructionBits(part) + 8 * unit) * s.BitUs);
    for (unsigned j = 0; j < unit; ++j)
      if (part.Cell(offset + i + j) != data[j]) {
        reply[7] = static_cast<std::uint8_t>(done);
        return StatusWriteError;
      }
    done = std::min(count, i + unit);
  }
  reply[7] = static_cast<std::uint8_t>(done);
  return StatusOk;
}

std::uint8_t TMisMemCommands::Erase(TFirmwareContext& fw, TMisMemPart& part) {
  EnableWrites(fw, part);
  fw.Clock.Advance(static_cast<std::uint64_t>(InstructionBits(part)) * Session->BitUs);
  part.EraseAll();
  if (const std::uint8_t cycle = WriteCycle(fw, part); cycle != StatusOk) return cycle;
  for (std::size_t i = 0; i < part.Capacity(); ++i)
    if (part.Cells[i] != 0xFF) return StatusWriteError;
  return StatusOk;
}
