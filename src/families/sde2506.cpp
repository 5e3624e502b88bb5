#include "families/sde2506.h"

void TSDE2506::SetModule(TDevicePage* page) {
  TE2MisMem::SetModule(page);
  ShowPanel({"Unused", "CLK", "TP", "Unused", "Vss", "Data", "CE", "Unused", "Vdd"});
}

TTaskResult TSDE2506::InitConnection() {
  const TTaskResult r = TE2MisMem::InitConnection();
  if (r != trSuccess) return r;
  return Connect(0xC001);
}
