#pragma once

#include "families/i2c.h"

// X24C01: 128 bytes on a two-wire bus without a control byte. Read is 0x7007
// and write 0x7006; addresses are buffer offsets, never halved.
class TI2C1 : public TI2C {
public:
  explicit TI2C1(const TDevInfo& info) : TI2C(info) {}

  void SetModule(TDevicePage* page) override;
  TTaskResult InitConnection() override;

protected:
  std::uint16_t ReadCommand() const override { return 0x7007; }
  std::uint16_t WriteCommand() const override { return 0x7006; }
  std::uint32_t BlockAddress(int offset) const override {
    return static_cast<std::uint32_t>(offset);
  }
};
