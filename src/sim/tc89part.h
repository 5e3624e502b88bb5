#pragma once

#include <cstddef>
#include <memory>

#include "sim/mismemcommands.h"
#include "sim/mismempart.h"

// TC89101P/102P: three-wire EEPROMs organised as 8 or 16 bits by the level
// on ORG, with a ready/busy output on DO, a 10 ms write cycle and a chip
// erase (0x9004).
class TTC89Part : public TMisMemPart {
public:
  static const TTraits Traits;
  explicit TTC89Part(std::size_t capacity) : TMisMemPart(Traits, capacity) {}
};

// Group 0x90 of the tmEEPROM_MIS module.
class TTC89Commands : public TMisMemCommands {
public:
  static TMisGroupSpec PartDesc();
  explicit TTC89Commands(std::shared_ptr<TMisMemSession> session)
      : TMisMemCommands(std::move(session), PartDesc()) {}
};
