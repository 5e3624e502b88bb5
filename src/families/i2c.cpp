#include "families/i2c.h"

void TI2C::SetModule(TDevicePage* page) {
  TE2MEM::SetModule(page);
  if (!MemoryFrame) return;
  SetPinNames({"Unused", "CLK", "A1", "A2", "Vss", "DATA", "A0", "WP", "Vcc"});
  Te2memoryFrame& f = *MemoryFrame;
  f.EraseBtn.Visible = e2Opr.Contains(oErase);
  f.ShowStatusRegister(false);
}

std::uint32_t TI2C::BlockAddress(int offset) const {
  return static_cast<std::uint32_t>(e2org == 16 ? offset / 2 : offset);
}

std::uint8_t TI2C::Pin7Mode() const {
  return Pin7 == 1 || Pin7 == 2 ? Pin7 : 0;
}

TTaskResult TI2C::InitConnection() {
  const TTaskResult r = TE2MEM::InitConnection();
  if (r != trSuccess) return r;
  return SendConnectFrame(CmdConnect, I2CSlave, Pin7Mode());
}
