#pragma once

#include <cstddef>
#include <memory>

#include "sim/mismemcommands.h"
#include "sim/mismempart.h"

// CXK1011/12/13: 8-bit three-wire EEPROMs timed by a clock the module
// feeds to their OSC input. An instruction is a start bit, two opcode bits
// and the address; a write takes 20 ms and has no ready output.
class TCXKPart : public TMisMemPart {
public:
  static const TTraits Traits;
  explicit TCXKPart(std::size_t capacity) : TMisMemPart(Traits, capacity) {}
};

// Group 0xB0 of the tmEEPROM_MIS module.
class TCXKCommands : public TMisMemCommands {
public:
  static TMisGroupSpec PartDesc();
  explicit TCXKCommands(std::shared_ptr<TMisMemSession> session)
      : TMisMemCommands(std::move(session), PartDesc()) {}
};
