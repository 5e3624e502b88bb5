#pragma once

#include <cstddef>
#include <memory>

#include "sim/mismemcommands.h"
#include "sim/mismempart.h"

// SDE2506: 128 x 8 EEPROM on a clock, a bidirectional data line and chip
// enable, with a TP input. A transfer is the address, eight data bits and two
// control bits; a write (erase then write) takes 10 ms and has no
// ready output, so the firmware waits the device's write time. A part that
// does not answer gives an acknowledge error.
class TSDE2506Part : public TMisMemPart {
public:
  static const TTraits Traits;
  explicit TSDE2506Part(std::size_t capacity) : TMisMemPart(Traits, capacity) {}
};

// Group 0xC0 of the tmEEPROM_MIS module.
class TSDE2506Commands : public TMisMemCommands {
public:
  static TMisGroupSpec PartDesc();
  explicit TSDE2506Commands(std::shared_ptr<TMisMemSession> session)
      : TMisMemCommands(std::move(session), PartDesc()) {}
};
