#pragma once

#include "families/mw.h"

// The S-29x90 Microwire parts: their own block commands 0x800C/0x800D.
class TS29x90 : public TMW {
public:
  explicit TS29x90(const TDevInfo& info) : TMW(info) {}

protected:
  std::uint16_t ReadCommand() const override { return 0x800C; }
  std::uint16_t WriteCommand() const override { return 0x800D; }
};
