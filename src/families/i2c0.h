#pragma once

#include "families/i2c.h"

// X24C00: 16 bytes without a device address; its own block commands and a
// second connect frame with the pin-7 mode cleared.
class TI2C0 : public TI2C {
public:
  explicit TI2C0(const TDevInfo& info) : TI2C(info) {}

  TTaskResult InitConnection() override;

protected:
  std::uint16_t ReadCommand() const override { return 0x7004; }
  std::uint16_t WriteCommand() const override { return 0x7005; }
};
