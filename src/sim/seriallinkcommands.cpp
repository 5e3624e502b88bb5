#include "sim/seriallinkcommands.h"

#include "link/basecmds.h"
#include "sim/firmwarecontext.h"

namespace {

std::uint16_t Get16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::uint32_t Get32(const std::uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

} // namespace

void TSerialLinkCommands::Restart(TFirmwareContext& fw) {
  fw.SerialLink = {};
}

std::uint8_t TSerialLinkCommands::Execute(TFirmwareContext& fw, const std::uint8_t* request,
                                          std::uint8_t* reply) {
  (void)reply;
  TSerialLinkSettings& link = fw.SerialLink;
  switch (Get16(request)) {
  case CmdSetWaitTime:
    link.WaitTime = Get32(request + 3);
    return StatusOk;
  case CmdSetBitRate:
    link.HalfDivider32 = Get32(request + 3);
    link.Divider = Get16(request + 8);
    link.HalfDivider = Get16(request + 10);
    return StatusOk;
  case CmdStartSerialLink:
  case CmdStartSerialLinkAlt:
    link.Started = true;
    link.Alternate = Get16(request) == CmdStartSerialLinkAlt;
    return StatusOk;
  default:
    return StatusFrameError;
  }
}
