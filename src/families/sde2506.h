#pragma once

#include "families/e2mismem.h"

// SDE2506: 128 x 8 memory on clock, data and chip enable.
class TSDE2506 : public TE2MisMem {
public:
  explicit TSDE2506(const TDevInfo& info) : TE2MisMem(info) {}

  void SetModule(TDevicePage* page) override;
  TTaskResult InitConnection() override;

protected:
  std::uint16_t ReadCommand() const override { return 0xC002; }
  std::uint16_t WriteCommand() const override { return 0xC003; }
};
