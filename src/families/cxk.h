#pragma once

#include "families/e2mismem.h"

// CXK1011/12/13: three-wire memories timed by a clock on their OSC input.
class TCXK : public TE2MisMem {
public:
  explicit TCXK(const TDevInfo& info) : TE2MisMem(info) {}

  void SetModule(TDevicePage* page) override;
  TTaskResult InitConnection() override;

protected:
  std::uint16_t ReadCommand() const override { return 0xB002; }
  std::uint16_t WriteCommand() const override { return 0xB003; }
};
