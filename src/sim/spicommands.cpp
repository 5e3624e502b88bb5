#include "sim/spicommands.h"

#include <algorithm>

#include "sim/commandfields.h"
#include "sim/firmwarecontext.h"
#include "sim/m35080part.h"
#include "sim/pinmodel.h"
#include "sim/simclock.h"
#include "sim/spimemorypart.h"

namespace {

constexpr std::uint8_t OpWren = 0x06, OpWrdi = 0x04, OpRdsr = 0x05, OpWrsr = 0x01;
constexpr std::uint8_t OpRead = 0x03, OpWrite = 0x02, OpWrinc = 0x07, OpBulkErase = 0xC7;
constexpr std::uint32_t M35080Size = 0x400, M35080Counters = 32;

} // namespace

void TSpiCommands::Restart(TFirmwareContext& fw) {
  (void)fw;
  P = {};
}

int TSpiCommands::AddressBytes() const {
  if (P.AddressBits > 16) return 3;
  return P.AddressBits > 8 ? 2 : 1;
}

std::uint8_t TSpiCommands::Execute(TFirmwareContext& fw, const std::uint8_t* request,
                                   std::uint8_t* reply) {
  const std::uint16_t command = static_cast<std::uint16_t>(request[0] | (request[1] << 8));
  if (command == 0x6001) return Connect(fw, request, reply);
  if (!P.Connected || !fw.Pins.SupplyOn()) return StatusByte(trDevPowerError);
  auto* part = dynamic_cast<TSpiMemoryPart*>(fw.Target);
  const std::uint32_t address = RequestParam(request);
  const int count = request[7];
  const bool block = command == 0x6002 || command == 0x6003 || command == 0x6006 ||
                     command == 0x6007 || command == 0x600B;
  if (block && (count == 0 || count > 56)) return StatusFrameError;
  if (command == 0x6002 || command == 0x6007) {
    if (part && !WaitIdle(fw, *part, IdleLimitMs)) return StatusByte(trDevTimeout);
    Read(fw, part, address, count, reply + 8);
    reply[7] = static_cast<std::uint8_t>(count);
    ReplyFault.Apply(reply);
    return StatusOk;
  }
  // With no part nothing ever clears WIP: DO floats low, so RDSR reads 0 and
  // a write looks done; but then a read returns zeros, as on the real bus.
  if (!part) {
    if (block) reply[7] = static_cast<std::uint8_t>(count);
    return StatusOk;
  }
  if (!WaitIdle(fw, *part, IdleLimitMs)) return StatusByte(trDevTimeout);
  switch (command) {
  case 0x6003:
  case 0x6006:
  case 0x600B: {
    std::uint8_t written = 0;
    const std::uint8_t opcode = command == 0x6006 ? OpWrinc : OpWrite;
    const std::uint32_t page = command == 0x600B ? 256 : command == 0x6006 ? 32 : 16;
    const std::uint8_t status =
        Write(fw, *part, opcode, page, address, count, request + 8, written);
    reply[7] = written;
    ReplyFault.Apply(reply);
    return status;
  }
  case 0x6004:
    part->Select(fw.Clock.Now());
    part->Exchange(OpRdsr);
    reply[8] = part->Exchange(0);
    part->Deselect(fw.Clock.Now());
    P.Bus(fw.Clock, 16);
    return StatusOk;
  case 0x6005:
    Simple(fw, *part, OpWren);
    part->Select(fw.Clock.Now());
    part->Exchange(OpWrsr);
    part->Exchange(request[8]);
    part->Deselect(fw.Clock.Now());
    P.Bus(fw.Clock, 16);
    return WaitIdle(fw, *part, P.WriteMs) ? StatusOk : StatusByte(trDevTimeout);
  case 0x600A:
    Simple(fw, *part, OpWren);
    Simple(fw, *part, OpBulkErase);
    return StatusOk;
  case 0x600C: { // the array behind the counters, page by page
    static const std::uint8_t erased[32] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                            0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                            0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                            0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    for (std::uint32_t a = M35080Counters; a < M35080Size; a += 32) {
      std::uint8_t written = 0;
      const std::uint8_t status = Write(fw, *part, OpWrite, 32, a, 32, erased, written);
      if (status != StatusOk) return status;
    }
    return StatusOk;
  }
  case 0x6008: {
    auto* m35080 = dynamic_cast<TM35080Part*>(part);
    if (!m35080) return StatusByte(trDevEEPROMAccessError);
    m35080->ServiceErase(fw.Clock.Now());
    return WaitIdle(fw, *part, IdleLimitMs) ? StatusOk : StatusByte(trDevTimeout);
  }
  default:
    return StatusFrameError;
  }
}

std::uint8_t TSpiCommands::Connect(TFirmwareContext& fw, const std::uint8_t* request,
                                   std::uint8_t* reply) {
  P.Read(request);
  TPinModel& pins = fw.Pins;
  pins.SetLogicState(PinP2, LogicLow);   // CLK
  pins.SetLogicState(PinP3, LogicFloat); // DO
  pins.SetLogicState(PinP4, LogicHigh);  // WP
  pins.SetLogicState(PinP6, LogicLow);   // DI
  pins.SetLogicState(PinP7, LogicHigh);  // CS, active low
  pins.SetLogicState(PinP8, LogicHigh);  // HOLD
  pins.SetSupply(true);
  fw.Clock.AdvanceMs(P.SetupMs);
  const std::uint8_t status = pins.CheckBlock(request, reply);
  if (status != 0) return status;
  if (!pins.High(PinP4)) return StatusByte(trWPError);
  if (!pins.High(PinP8)) return StatusByte(trSPIHoldError);
  P.Connected = true;
  return StatusOk;
}

void TSpiCommands::Header(TFirmwareContext& fw, TSpiMemoryPart& part, std::uint8_t opcode,
                          std::uint32_t address) {
  const int n = AddressBytes();
  if (n == 1) opcode = static_cast<std::uint8_t>(opcode | (((address >> 8) & 1) << 3));
  part.Select(fw.Clock.Now());
  part.Exchange(opcode);
  for (int i = n - 1; i >= 0; --i)
    part.Exchange(static_cast<std::uint8_t>(address >> (8 * i)));
  P.Bus(fw.Clock, 8u * (1 + n));
}

void TSpiCommands::Simple(TFirmwareContext& fw, TSpiMemoryPart& part, std::uint8_t opcode) {
  part.Select(fw.Clock.Now());
  part.Exchange(opcode);
  part.Deselect(fw.Clock.Now());
  P.Bus(fw.Clock, 8);
}

bool TSpiCommands::WaitIdle(TFirmwareContext& fw, TSpiMemoryPart& part, std::uint64_t limitMs) {
  const std::uint64_t start = fw.Clock.Now();
  const std::uint64_t deadline = start + std::max<std::uint64_t>(limitMs, 1) * 1000;
  for (;;) {
    part.Select(fw.Clock.Now());
    part.Exchange(OpRdsr);
    const std::uint8_t status = part.Exchange(0);
    part.Deselect(fw.Clock.Now());
    P.Bus(fw.Clock, 16);
    if ((status & 0x01) == 0) return true;
    if (fw.Clock.Now() >= deadline) return false;
    // Poll often at first, then less: a long erase costs few polls.
    fw.Clock.Advance(std::max<std::uint64_t>(PollUs, (fw.Clock.Now() - start) / 8));
  }
}

void TSpiCommands::Read(TFirmwareContext& fw, TSpiMemoryPart* part, std::uint32_t address,
                        int count, std::uint8_t* out) {
  if (!part) {
    std::fill(out, out + count, 0);
    P.Bus(fw.Clock, 8u * (1 + AddressBytes() + count));
    return;
  }
  Header(fw, *part, OpRead, address);
  for (int i = 0; i < count; ++i)
    out[i] = part->Exchange(0);
  part->Deselect(fw.Clock.Now());
  P.Bus(fw.Clock, 8u * count);
}

std::uint8_t TSpiCommands::Write(TFirmwareContext& fw, TSpiMemoryPart& part, std::uint8_t opcode,
                                 std::uint32_t page, std::uint32_t address, int count,
                                 const std::uint8_t* data, std::uint8_t& written) {
  int done = 0;
  while (done < count) {
    const int n = std::min<int>(count - done, static_cast<int>(page - address % page));
    Simple(fw, part, OpWren);
    Header(fw, part, opcode, address);
    for (int i = 0; i < n; ++i)
      part.Exchange(data[done + i]);
    part.Deselect(fw.Clock.Now());
    P.Bus(fw.Clock, 8u * n);
    if (!WaitIdle(fw, part, P.WriteMs)) {
      Simple(fw, part, OpWrdi);
      return StatusByte(trDevTimeout);
    }
    done += n;
    address += static_cast<std::uint32_t>(n);
    written = static_cast<std::uint8_t>(done);
  }
  return StatusOk;
}
