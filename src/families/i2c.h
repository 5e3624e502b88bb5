#pragma once

#include "families/e2mem.h"

// I2C serial EEPROMs (24Cxx and kin): command group 0x70 of tmEEPROM.
class TI2C : public TE2MEM {
public:
  explicit TI2C(const TDevInfo& info) : TE2MEM(info) {}

  void SetModule(TDevicePage* page) override;
  TTaskResult InitConnection() override;

  static constexpr std::uint16_t CmdConnect = 0x7001;

protected:
  std::uint16_t ReadCommand() const override { return 0x7002; }
  std::uint16_t WriteCommand() const override { return 0x7003; }
  // 16-bit organised parts take word addresses.
  std::uint32_t BlockAddress(int offset) const override;
  // Byte 14 of the connect frame.
  std::uint8_t Pin7Mode() const;
};
