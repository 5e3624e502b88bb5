#include "families/m6m.h"

void TM6M::SetModule(TDevicePage* page) {
  TE2MisMem::SetModule(page);
  ShowPanel({"Unused", "CLK", "DO", "RESET", "Vss", "DI", "CS", "Unused", "Vdd"});
}

TTaskResult TM6M::InitConnection() {
  const TTaskResult r = TE2MisMem::InitConnection();
  if (r != trSuccess) return r;
  return Connect(0xA001);
}
