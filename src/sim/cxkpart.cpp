#include "sim/cxkpart.h"

#include <algorithm>

#include "sim/pinmodel.h"

const TMisMemPart::TTraits TCXKPart::Traits = {TMisProtocol::CXK, 3, 20000, false, PinP3};

TMisGroupSpec TCXKCommands::PartDesc() {
  TMisGroupSpec partDesc;
  partDesc.Group = 0xB0;
  partDesc.ConnectProtocols = partDesc.DataProtocols = MisBit(TMisProtocol::CXK);
  partDesc.Checks[0] = {PinP2, 19}; // CLK
  partDesc.Checks[1] = {PinP4, 27}; // OSC
  partDesc.Checks[2] = {PinP6, 18}; // DI
  partDesc.Checks[3] = {PinP7, 17}; // CS
  // CLK low, DO released, OSC running (high between edges), DI low, CS low.
  const std::uint8_t idle[6] = {0, 2, 1, 0, 0, 2};
  std::copy(idle, idle + 6, partDesc.Idle);
  return partDesc;
}
