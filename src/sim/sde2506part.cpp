#include "sim/sde2506part.h"

#include <algorithm>

#include "sim/pinmodel.h"

const TMisMemPart::TTraits TSDE2506Part::Traits = {TMisProtocol::SDE2506, 2, 10000, false, -1};

TMisGroupSpec TSDE2506Commands::PartDesc() {
  TMisGroupSpec partDesc;
  partDesc.Group = 0xC0;
  partDesc.ConnectProtocols = partDesc.DataProtocols = MisBit(TMisProtocol::SDE2506);
  partDesc.Checks[0] = {PinP2, 19}; // CLK
  partDesc.Checks[1] = {PinP3, 28}; // TP
  partDesc.Checks[2] = {PinP6, 21}; // Data
  partDesc.Checks[3] = {PinP7, 29}; // CE
  // CLK low, TP low, P4 released, Data released (the part drives it), CE low.
  const std::uint8_t idle[6] = {0, 0, 2, 2, 0, 2};
  std::copy(idle, idle + 6, partDesc.Idle);
  partDesc.NoAnswerStatus = 22;
  return partDesc;
}
