#pragma once

#include "sim/commandgroup.h"

// Group 0x30 of the base firmware: the serial-link clock and wait time, and
// the start of the link (0x3005, or 0x3006 for the alternate form). The values
// are only stored; the families that use the link read them.
class TSerialLinkCommands : public TCommandGroup {
public:
  std::uint8_t Execute(TFirmwareContext& fw, const std::uint8_t* request,
                       std::uint8_t* reply) override;
  void Restart(TFirmwareContext& fw) override;
};
