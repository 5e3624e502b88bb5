#include "sim/m6mpart.h"

#include <algorithm>

#include "sim/pinmodel.h"

const TMisMemPart::TTraits TM6MPart::Traits = {TMisProtocol::M6M, 3, 10000, true, PinP3};

TMisGroupSpec TM6MCommands::PartDesc() {
  TMisGroupSpec partDesc;
  partDesc.Group = 0xA0;
  // The CAT64 parts connect through this group and move data through 0x17.
  partDesc.ConnectProtocols = MisBit(TMisProtocol::M6M) | MisBit(TMisProtocol::CAT64);
  partDesc.DataProtocols = MisBit(TMisProtocol::M6M);
  partDesc.Checks[0] = {PinP2, 19}; // CLK
  partDesc.Checks[1] = {PinP4, 26}; // RESET
  partDesc.Checks[2] = {PinP6, 18}; // DI
  partDesc.Checks[3] = {PinP7, 17}; // CS
  // CLK low, DO released, RESET high (inactive), DI low, CS low, P8 released.
  const std::uint8_t idle[6] = {0, 2, 1, 0, 0, 2};
  std::copy(idle, idle + 6, partDesc.Idle);
  return partDesc;
}
