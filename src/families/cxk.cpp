#include "families/cxk.h"

void TCXK::SetModule(TDevicePage* page) {
  TE2MisMem::SetModule(page);
  ShowPanel({"Unused", "CLK", "DO", "OSC", "Vss", "DI", "CS", "Unused", "Vdd"});
}

TTaskResult TCXK::InitConnection() {
  const TTaskResult r = TE2MisMem::InitConnection();
  if (r != trSuccess) return r;
  return Connect(0xB001);
}
