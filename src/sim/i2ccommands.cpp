#include "sim/i2ccommands.h"

#include <algorithm>

#include "sim/firmwarecontext.h"
#include "sim/i2ceeprom.h"
#include "sim/pinmodel.h"
#include "sim/simclock.h"

namespace {
constexpr std::uint8_t StatusNotResponding = 1;
constexpr std::uint8_t StatusWpHigh = 16;
constexpr std::uint8_t StatusNoAck = 22;
constexpr std::uint8_t StatusBusBusy = 23;
constexpr std::uint8_t MaxCount = 56;
} // namespace

void TI2CCommands::Restart(TFirmwareContext& fw) {
  (void)fw;
  Params.Connected = false;
}

std::uint8_t TI2CCommands::Connect(TFirmwareContext& fw, const std::uint8_t* request,
                                   std::uint8_t* reply) {
  Params.Read(request);
  Slave = request[13];
  Pin7Mode = request[14];
  TPinModel& pins = fw.Pins;
  pins.SetP1Code(0);
  pins.SetLogicState(PinP2, 2); // SCL released, pulled up
  pins.SetLogicState(PinP6, 2); // SDA released, pulled up
  pins.SetLogicState(PinP3, 0); // A1
  pins.SetLogicState(PinP4, 0); // A2
  pins.SetLogicState(PinP7, 0); // A0
  pins.SetLogicState(PinP8, Pin7Mode == 1 ? 1 : Pin7Mode == 2 ? 2 : 0);
  pins.SetSupply(true);
  fw.Clock.AdvanceMs(Params.SetupMs);
  fw.Clock.Advance(MeasureUs);
  const std::uint8_t status = pins.CheckBlock(request, reply);
  if (status != StatusOk) return status;
  // A bus that does not idle high cannot carry a start condition.
  if (!pins.High(PinP6) || !pins.High(PinP2)) return StatusBusBusy;
  Params.Connected = true;
  return StatusOk;
}

bool TI2CCommands::SendByte(TFirmwareContext& fw, TI2CEeprom* part, std::uint8_t value) {
  Params.Bus(fw.Clock, 9);
  return part->WriteByte(value, fw.Clock.Now());
}

bool TI2CCommands::Select(TFirmwareContext& fw, TI2CEeprom* part, std::uint8_t first) {
  const std::uint64_t limit = fw.Clock.Now() + Params.WriteMs * 1000ull;
  for (;;) {
    part->Start();
    Params.Bus(fw.Clock, 1);
    if (SendByte(fw, part, first)) return true;
    if (fw.Clock.Now() >= limit) return false;
  }
}

std::uint8_t TI2CCommands::FirstByte(TAddressing mode, std::uint32_t address, bool read) const {
  if (mode == TAddressing::AddressByte)
    return static_cast<std::uint8_t>(((address << 1) & 0xFE) | (read ? 1 : 0));
  std::uint8_t control = Slave & 0xF0;
  if (Params.AddressBits <= 8) control |= static_cast<std::uint8_t>(((address >> 8) & 7) << 1);
  return static_cast<std::uint8_t>(control | (read ? 1 : 0));
}

std::uint8_t TI2CCommands::Read(TFirmwareContext& fw, TI2CEeprom* part, TAddressing mode,
                                std::uint32_t address, std::uint8_t count, std::uint8_t* data) {
  if (mode == TAddressing::ControlByte) {
    // Random read: a dummy write sets the address, a repeated start reads.
    if (!Select(fw, part, FirstByte(mode, address, false))) return StatusNoAck;
    if (Params.AddressBits > 8 && !SendByte(fw, part, static_cast<std::uint8_t>(address >> 8)))
      return StatusNoAck;
    if (!SendByte(fw, part, static_cast<std::uint8_t>(address))) return StatusNoAck;
    part->Start();
    Params.Bus(fw.Clock, 1);
    if (!SendByte(fw, part, FirstByte(mode, address, true))) return StatusNoAck;
  } else if (!Select(fw, part, FirstByte(mode, address, true))) {
    return StatusNoAck;
  }
  for (std::uint8_t i = 0; i < count; ++i) {
    Params.Bus(fw.Clock, 9);
    data[i] = part->ReadByte();
  }
  Params.Bus(fw.Clock, 1);
  part->Stop(fw.Clock.Now());
  return StatusOk;
}

std::uint8_t TI2CCommands::Write(TFirmwareContext& fw, TI2CEeprom* part, TAddressing mode,
                                 std::uint32_t address, std::uint8_t count,
                                 const std::uint8_t* data, std::uint32_t piece) {
  if (Pin7Mode == 0 && (fw.Pins.High(PinP8) || part->Faults.WpHigh)) return StatusWpHigh;
  std::uint32_t done = 0;
  while (done < count) {
    const std::uint32_t at = address + done;
    const std::uint32_t n = std::min<std::uint32_t>(count - done, piece - at % piece);
    if (!Select(fw, part, FirstByte(mode, at, false))) return StatusNoAck;
    if (mode == TAddressing::ControlByte) {
      if (Params.AddressBits > 8 && !SendByte(fw, part, static_cast<std::uint8_t>(at >> 8)))
        return StatusNoAck;
      if (!SendByte(fw, part, static_cast<std::uint8_t>(at))) return StatusNoAck;
    }
    for (std::uint32_t i = 0; i < n; ++i)
      if (!SendByte(fw, part, data[done + i])) return StatusNoAck;
    Params.Bus(fw.Clock, 1);
    part->Stop(fw.Clock.Now());
    // Acknowledge polling until the write cycle ends.
    if (!Select(fw, part, FirstByte(mode, at, false))) return StatusNotResponding;
    Params.Bus(fw.Clock, 1);
    part->Stop(fw.Clock.Now());
    done += n;
  }
  return StatusOk;
}

std::uint8_t TI2CCommands::Execute(TFirmwareContext& fw, const std::uint8_t* request,
                                   std::uint8_t* reply) {
  const std::uint16_t command = static_cast<std::uint16_t>(request[0] | (request[1] << 8));
  if (command == 0x7001) return Connect(fw, request, reply);
  if (command < 0x7002 || command > 0x7007) return StatusFrameError;
  const std::uint8_t count = request[7];
  if (!Params.Connected || !fw.Pins.SupplyOn() || count < 1 || count > MaxCount)
    return StatusFrameError;
  std::uint32_t address = static_cast<std::uint32_t>(request[3]) | (request[4] << 8) |
                          (request[5] << 16) | (static_cast<std::uint32_t>(request[6]) << 24);
  const bool read = command == 0x7002 || command == 0x7004 || command == 0x7007;
  const TAddressing mode = command >= 0x7004 ? TAddressing::AddressByte : TAddressing::ControlByte;
  // 16-bit organised parts are addressed in words; the bus carries bytes.
  if (Params.Org == 16 && command != 0x7006 && command != 0x7007) address *= 2;
  std::uint32_t piece = Params.AddressBits > 8 ? 16 : 8;
  if (command == 0x7005) piece = 1;
  if (command == 0x7006) piece = 4;
  auto* part = dynamic_cast<TI2CEeprom*>(fw.Target);
  std::uint8_t status = StatusOk;
  if (!part) {
    // Nobody on the bus: the control byte is never acknowledged.
    fw.Clock.Advance(Params.WriteMs * 1000ull);
    status = StatusNoAck;
  } else if (read) {
    status = Read(fw, part, mode, address, count, reply + 8);
  } else {
    status = Write(fw, part, mode, address, count, request + 8, piece);
  }
  if (status != StatusOk) return status;
  reply[7] = count;
  CountFault.Apply(reply);
  return StatusOk;
}
