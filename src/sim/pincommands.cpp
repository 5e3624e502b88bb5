#include "sim/pincommands.h"

#include "link/basecmds.h"
#include "sim/firmwarecontext.h"
#include "sim/pinmodel.h"
#include "sim/simclock.h"

void TPinCommands::Restart(TFirmwareContext& fw) {
  fw.Pins.Reset();
}

std::uint8_t TPinCommands::Execute(TFirmwareContext& fw, const std::uint8_t* request,
                                   std::uint8_t* reply) {
  TPinModel& pins = fw.Pins;
  const std::uint16_t command = static_cast<std::uint16_t>(request[0] | (request[1] << 8));
  switch (command) {
  case CmdReleasePins:
    pins.Reset();
    return StatusOk;
  case CmdPowerOn:
    pins.SetSupply(true);
    fw.Clock.Advance(SupplySettleUs);
    return StatusOk;
  case CmdPowerOff:
    pins.SetSupply(false);
    return StatusOk;
  case CmdCheckPins:
    fw.Clock.Advance(MeasureUs);
    return pins.CheckBlock(request, reply);
  case CmdSetPins: {
    // A bad code or state changes nothing.
    if (!TPinModel::ValidP1Code(request[8]) || request[15] > 1) return StatusFrameError;
    for (int i = 0; i < 6; ++i)
      if (request[9 + i] > 2) return StatusFrameError;
    pins.SetP1Code(request[8]);
    for (int i = 0; i < 6; ++i)
      pins.SetLogicState(PinP2 + i, request[9 + i]);
    pins.SetSupply(request[15] == 1);
    reply[8] = pins.LevelByte();
    return StatusOk;
  }
  case CmdReadPinLevels:
    reply[8] = pins.LevelByte();
    return StatusOk;
  default:
    return StatusFrameError;
  }
}
