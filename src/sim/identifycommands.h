#pragma once

#include "sim/commandgroup.h"

// Group 0x40 of the base firmware: the pod identification (0x4002). Reply
// bytes 8..11 hold the pod id, 12..15 the 28-bit serial number little-endian
// with the configured top four bits above it.
class TIdentifyCommands : public TCommandGroup {
public:
  std::uint8_t Execute(TFirmwareContext& fw, const std::uint8_t* request,
                       std::uint8_t* reply) override;
};
