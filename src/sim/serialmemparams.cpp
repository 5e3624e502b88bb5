#include "sim/serialmemparams.h"

#include "sim/simclock.h"

void TSerialMemParams::Read(const std::uint8_t* request) {
  SetupMs = request[8] * 10u;
  WriteMs = request[9];
  ClockUnits = request[10];
  Org = request[11];
  AddressBits = request[12];
  Connected = false;
}

void TSerialMemParams::Bus(TSimClock& clock, std::uint64_t bits) const {
  clock.Advance(bits * BitUs());
}
