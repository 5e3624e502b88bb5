#pragma once

#include <cstddef>
#include <memory>

#include "sim/mismemcommands.h"
#include "sim/mismempart.h"

// CAT64LC10/20/40: 16-bit serial EEPROMs with RESET and a ready/busy
// output on DO. They connect through the M6M group (0xA001) and read and
// write through group 0x17; a write cycle takes 5 ms.
class TCAT64Part : public TMisMemPart {
public:
  static const TTraits Traits;
  explicit TCAT64Part(std::size_t capacity) : TMisMemPart(Traits, capacity) {}
};

// Group 0x17 of the tmEEPROM_MIS module.
class TCAT64Commands : public TMisMemCommands {
public:
  static TMisGroupSpec PartDesc();
  explicit TCAT64Commands(std::shared_ptr<TMisMemSession> session)
      : TMisMemCommands(std::move(session), PartDesc()) {}
};
