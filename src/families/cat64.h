#pragma once

#include "families/m6m.h"

// CAT64LC10/20/40: connect as the M6M parts, move data with their own commands.
class TCAT64 : public TM6M {
public:
  explicit TCAT64(const TDevInfo& info) : TM6M(info) {}

protected:
  std::uint16_t ReadCommand() const override { return 0x1702; }
  std::uint16_t WriteCommand() const override { return 0x1703; }
};
