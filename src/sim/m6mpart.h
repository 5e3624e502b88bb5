#pragma once

#include <cstddef>
#include <memory>

#include "sim/mismemcommands.h"
#include "sim/mismempart.h"

// M6M80011/21/41 and BR9010/20/40: three-wire 16-bit EEPROMs with a RESET
// input. An instruction is a start bit, two opcode bits and the address; a write cycle of 10 ms
// ends with DO going high.
class TM6MPart : public TMisMemPart {
public:
  static const TTraits Traits;
  explicit TM6MPart(std::size_t capacity) : TMisMemPart(Traits, capacity) {}
};

// Group 0xA0 of the tmEEPROM_MIS module.
class TM6MCommands : public TMisMemCommands {
public:
  static TMisGroupSpec PartDesc();
  explicit TM6MCommands(std::shared_ptr<TMisMemSession> session)
      : TMisMemCommands(std::move(session), PartDesc()) {}
};
