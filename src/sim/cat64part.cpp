#include "sim/cat64part.h"

#include <algorithm>

#include "sim/pinmodel.h"

const TMisMemPart::TTraits TCAT64Part::Traits = {TMisProtocol::CAT64, 3, 5000, true, PinP3};

TMisGroupSpec TCAT64Commands::PartDesc() {
  TMisGroupSpec partDesc;
  partDesc.Group = 0x17;
  partDesc.DataProtocols = MisBit(TMisProtocol::CAT64);
  return partDesc;
}
