#include "families/spi.h"

#include "families/framedpage.h"

void TSPI::ShowSpiPanel() {
  SetPinNames({"Unused", "CLK", "DO", "WP", "Vss", "DI", "CS", "HOLD", "Vcc"});
  MemoryFrame->ShowStatusRegister(true);
}

void TSPI::SetModule(TDevicePage* page) {
  TE2MEM::SetModule(page);
  if (!MemoryFrame) return;
  ShowSpiPanel();
  MemoryFrame->EraseBtn.Visible = false;
}

TTaskResult TSPI::InitConnection() {
  const TTaskResult r = TE2MEM::InitConnection();
  if (r != trSuccess) return r;
  return SendConnectFrame(0x6001, 0, 0);
}
