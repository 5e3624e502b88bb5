#pragma once

#include "families/mw.h"

// The 77005/77007 Microwire parts: their own block commands 0x800A/0x800B.
class TMW77007 : public TMW {
public:
  explicit TMW77007(const TDevInfo& info) : TMW(info) {}

protected:
  std::uint16_t ReadCommand() const override { return 0x800A; }
  std::uint16_t WriteCommand() const override { return 0x800B; }
};
