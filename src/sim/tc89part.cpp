#include "sim/tc89part.h"

#include <algorithm>

#include "sim/pinmodel.h"

const TMisMemPart::TTraits TTC89Part::Traits = {TMisProtocol::TC89, 3, 10000, true, PinP3};

TMisGroupSpec TTC89Commands::PartDesc() {
  TMisGroupSpec partDesc;
  partDesc.Group = 0x90;
  partDesc.ConnectProtocols = partDesc.DataProtocols = MisBit(TMisProtocol::TC89);
  partDesc.ChipErase = true;
  partDesc.Checks[0] = {PinP2, 19}; // CLK
  partDesc.Checks[1] = {PinP4, 20}; // ORG
  partDesc.Checks[2] = {PinP6, 18}; // DI
  partDesc.Checks[3] = {PinP7, 17}; // CS
  // CLK low, DO released, ORG by organisation, DI low, CS low.
  const std::uint8_t idle[6] = {0, 2, 3, 0, 0, 2};
  std::copy(idle, idle + 6, partDesc.Idle);
  return partDesc;
}
