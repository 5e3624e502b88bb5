#pragma once

#include "families/e2mismem.h"

// TC89101P/102P: three-wire memories, 8 or 16 bits by their ORG line, with a chip erase.
class TTC89 : public TE2MisMem {
public:
  explicit TTC89(const TDevInfo& info) : TE2MisMem(info) {}

  void SetModule(TDevicePage* page) override;
  TTaskResult InitConnection() override;
  TTaskResult EraseAll() override;

protected:
  std::uint16_t ReadCommand() const override { return 0x9002; }
  std::uint16_t WriteCommand() const override { return 0x9003; }
};
