#include "sim/identifycommands.h"

#include "link/basecmds.h"
#include "sim/firmwarecontext.h"
#include "sim/moduleconfig.h"

std::uint8_t TIdentifyCommands::Execute(TFirmwareContext& fw, const std::uint8_t* request,
                                        std::uint8_t* reply) {
  if ((request[0] | (request[1] << 8)) != CmdIdentify) return StatusFrameError;
  const TModuleConfig& c = fw.Config;
  for (int i = 0; i < 4; ++i)
    reply[8 + i] = c.PodId[i];
  const std::uint32_t id =
      (c.SerialNumber & 0x0FFFFFFFu) | (static_cast<std::uint32_t>(c.IdTopBits & 0x0F) << 28);
  for (int i = 0; i < 4; ++i)
    reply[12 + i] = static_cast<std::uint8_t>(id >> (8 * i));
  return StatusOk;
}
