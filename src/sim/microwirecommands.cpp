#include "sim/microwirecommands.h"

#include <algorithm>

#include "sim/commandfields.h"
#include "sim/firmwarecontext.h"
#include "sim/microwirepart.h"
#include "sim/pinmodel.h"
#include "sim/simclock.h"

void TMicrowireCommands::Restart(TFirmwareContext& fw) {
  (void)fw;
  P = {};
}

bool TMicrowireCommands::Powered(TFirmwareContext& fw) const {
  return P.Connected && fw.Pins.SupplyOn();
}

std::uint8_t TMicrowireCommands::Execute(TFirmwareContext& fw, const std::uint8_t* request,
                                         std::uint8_t* reply) {
  const std::uint16_t command = static_cast<std::uint16_t>(request[0] | (request[1] << 8));
  if (command == 0x8001) return Connect(fw, request, reply);
  if (command == 0x8005) return ConnectProtect(fw, request, reply);
  if (!Powered(fw)) return StatusByte(trDevPowerError);
  auto* part = dynamic_cast<TMicrowirePart*>(fw.Target);
  const std::uint32_t address = RequestParam(request);
  const std::uint8_t count = request[7];
  switch (command) {
  case 0x8002:
  case 0x800A:
  case 0x800C: {
    if (count == 0 || count > 56) return StatusFrameError;
    const std::uint8_t status = Read(fw, part, address, count, reply + 8);
    reply[7] = count;
    ReplyFault.Apply(reply);
    return status;
  }
  case 0x8003:
  case 0x800B:
  case 0x800D: {
    if (count == 0 || count > 56) return StatusFrameError;
    if (!part) return StatusByte(trDevTimeout); // nothing answers ready on DO
    std::uint8_t written = 0;
    const std::uint8_t status = Write(fw, *part, address, count, request + 8, written);
    reply[7] = written;
    ReplyFault.Apply(reply);
    return status;
  }
  case 0x8004: {
    if (!part) return StatusByte(trDevTimeout);
    Enable(fw, *part, true);
    Instruction(fw, *part, 0, 2u << (P.AddressBits - 2), P.AddressBits);
    const bool ready = Finish(fw, *part, std::max<std::uint64_t>(address, P.WriteMs));
    Enable(fw, *part, false);
    return ready ? StatusOk : StatusByte(trDevTimeout);
  }
  case 0x8007:
  case 0x8008: {
    if (!part) return StatusByte(trDevTimeout);
    Enable(fw, *part, true);
    fw.Pins.SetLogicState(PinP8, LogicHigh);
    Instruction(fw, *part, 0, 3u << (P.AddressBits - 2), P.AddressBits); // PREN
    part->Deselect(fw.Clock.Now());
    if (command == 0x8007)
      Instruction(fw, *part, 3, (1u << P.AddressBits) - 1, P.AddressBits); // PRCLEAR
    else
      Instruction(fw, *part, 1, request[8], P.AddressBits); // PRWRITE
    const bool ready = Finish(fw, *part, P.WriteMs);
    fw.Pins.SetLogicState(PinP8, LogicLow);
    Enable(fw, *part, false);
    return ready ? StatusOk : StatusByte(trDevTimeout);
  }
  case 0x8009: {
    if (!part) return StatusByte(trDevTimeout);
    fw.Pins.SetLogicState(PinP8, LogicHigh);
    std::uint8_t value[2] = {0, 0};
    Instruction(fw, *part, 2, 0, P.AddressBits); // PRREAD
    for (int i = 0; i < 16; ++i)
      value[i / 8] = static_cast<std::uint8_t>((value[i / 8] << 1) | part->Clock(0));
    P.Bus(fw.Clock, 16);
    part->Deselect(fw.Clock.Now());
    fw.Pins.SetLogicState(PinP8, LogicLow);
    reply[8] = value[1];
    return StatusOk;
  }
  default:
    return StatusFrameError;
  }
}

std::uint8_t TMicrowireCommands::Connect(TFirmwareContext& fw, const std::uint8_t* request,
                                         std::uint8_t* reply) {
  P.Read(request);
  TPinModel& pins = fw.Pins;
  pins.SetLogicState(PinP2, LogicLow);   // CLK
  pins.SetLogicState(PinP3, LogicFloat); // DO
  pins.SetLogicState(PinP4, P.Org == 16 ? LogicHigh : LogicLow);
  pins.SetLogicState(PinP6, LogicLow);  // DI
  pins.SetLogicState(PinP7, LogicLow);  // CS
  pins.SetLogicState(PinP8, LogicHigh); // WP: writes allowed
  pins.SetSupply(true);
  fw.Clock.AdvanceMs(P.SetupMs);
  const std::uint8_t status = pins.CheckBlock(request, reply);
  if (status != 0) return status;
  if (pins.High(PinP4) != (P.Org == 16)) return StatusByte(trORGError);
  if (!pins.High(PinP8)) return StatusByte(trWPError);
  P.Connected = true;
  return StatusOk;
}

std::uint8_t TMicrowireCommands::ConnectProtect(TFirmwareContext& fw, const std::uint8_t* request,
                                                std::uint8_t* reply) {
  TPinModel& pins = fw.Pins;
  if (!P.Connected || !pins.SupplyOn()) return StatusByte(trDevPowerError);
  const std::uint8_t status = pins.CheckBlock(request, reply);
  if (status != 0) return status;
  // PE must hold high (it was driven so for x16); PRE is tried high and left low.
  if (!pins.High(PinP4)) return StatusByte(trMWSPEError);
  pins.SetLogicState(PinP8, LogicHigh);
  const bool preHigh = pins.High(PinP8);
  pins.SetLogicState(PinP8, LogicLow);
  if (!preHigh || pins.High(PinP8)) return StatusByte(trMWSPREError);
  return StatusOk;
}

void TMicrowireCommands::Instruction(TFirmwareContext& fw, TMicrowirePart& part, int opcode,
                                     std::uint32_t field, int bits, std::uint32_t data,
                                     int dataBits) {
  part.Select();
  part.Clock(1);
  part.Clock((opcode >> 1) & 1);
  part.Clock(opcode & 1);
  for (int i = bits - 1; i >= 0; --i)
    part.Clock((field >> i) & 1);
  for (int i = dataBits - 1; i >= 0; --i)
    part.Clock((data >> i) & 1);
  P.Bus(fw.Clock, 3u + bits + dataBits);
}

bool TMicrowireCommands::Finish(TFirmwareContext& fw, TMicrowirePart& part, std::uint64_t limitMs) {
  part.Deselect(fw.Clock.Now());
  const std::uint64_t deadline = fw.Clock.Now() + std::max<std::uint64_t>(limitMs, 1) * 1000;
  while (!part.Ready(fw.Clock.Now())) {
    if (fw.Clock.Now() >= deadline) return false;
    fw.Clock.Advance(PollUs);
  }
  return true;
}

void TMicrowireCommands::Enable(TFirmwareContext& fw, TMicrowirePart& part, bool on) {
  Instruction(fw, part, 0, (on ? 3u : 0u) << (P.AddressBits - 2), P.AddressBits);
  part.Deselect(fw.Clock.Now());
}

std::uint8_t TMicrowireCommands::Read(TFirmwareContext& fw, TMicrowirePart* part,
                                      std::uint32_t address, std::uint8_t count,
                                      std::uint8_t* out) {
  if (!part) { // DO floats low with no part behind it
    std::fill(out, out + count, 0);
    P.Bus(fw.Clock, 3u + P.AddressBits + count * 8u);
    return StatusOk;
  }
  Instruction(fw, *part, 2, address, P.AddressBits);
  for (int i = 0; i < count; ++i) {
    std::uint8_t b = 0;
    for (int bit = 0; bit < 8; ++bit)
      b = static_cast<std::uint8_t>((b << 1) | part->Clock(0));
    out[i] = b;
  }
  P.Bus(fw.Clock, count * 8u);
  part->Deselect(fw.Clock.Now());
  return StatusOk;
}

std::uint8_t TMicrowireCommands::Write(TFirmwareContext& fw, TMicrowirePart& part,
                                       std::uint32_t address, std::uint8_t count,
                                       const std::uint8_t* data, std::uint8_t& written) {
  const int width = P.Org == 16 ? 2 : 1;
  Enable(fw, part, true);
  std::uint8_t status = StatusOk;
  for (int i = 0; i < count; i += width, ++address) {
    std::uint32_t value = data[i];
    if (width == 2) {
      std::uint8_t low = 0;
      if (i + 1 < count) {
        low = data[i + 1];
      } else { // a lone high byte keeps the word's low byte
        std::uint8_t old[2];
        Read(fw, &part, address, 2, old);
        low = old[1];
      }
      value = (value << 8) | low;
    }
    Instruction(fw, part, 1, address, P.AddressBits, value, 8 * width);
    if (!Finish(fw, part, P.WriteMs)) {
      status = StatusByte(trDevTimeout);
      break;
    }
    written = static_cast<std::uint8_t>(std::min<int>(count, i + width));
  }
  Enable(fw, part, false);
  return status;
}
