#pragma once

#include "sim/commandgroup.h"

// Group 0x00 of the base firmware: release, supply, pin drive, levels and the
// pin check. ReleasePins idles every pin, the supply included, so that a tool
// that only releases never leaves a target powered. ReadPinLevels ignores its
// parameter.
class TPinCommands : public TCommandGroup {
public:
  std::uint8_t Execute(TFirmwareContext& fw, const std::uint8_t* request,
                       std::uint8_t* reply) override;
  void Restart(TFirmwareContext& fw) override;

  static constexpr unsigned SupplySettleUs = 1000;
  static constexpr unsigned MeasureUs = 2000;
};
