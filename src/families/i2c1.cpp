#include "families/i2c1.h"

void TI2C1::SetModule(TDevicePage* page) {
  TI2C::SetModule(page);
  if (!MemoryFrame) return;
  SetPinNames({"Unused", "CLK", "Unused", "Unused", "Vss", "DATA", "Unused", "Unused", "Vcc"});
}

TTaskResult TI2C1::InitConnection() {
  const TTaskResult r = TI2C::InitConnection();
  if (r != trSuccess) return r;
  return SendConnectFrame(CmdConnect, I2CSlave, 0);
}
