#pragma once

#include "families/e2mismem.h"

// M6M80011/21/41 and BR9010/20/40: three-wire 16-bit memories with a RESET line.
class TM6M : public TE2MisMem {
public:
  explicit TM6M(const TDevInfo& info) : TE2MisMem(info) {}

  void SetModule(TDevicePage* page) override;
  TTaskResult InitConnection() override;

protected:
  std::uint16_t ReadCommand() const override { return 0xA002; }
  std::uint16_t WriteCommand() const override { return 0xA003; }
};
