#include "families/i2c0.h"

TTaskResult TI2C0::InitConnection() {
  const TTaskResult r = TI2C::InitConnection();
  if (r != trSuccess) return r;
  return SendConnectFrame(CmdConnect, I2CSlave, 0);
}
