#include "families/tc89.h"

void TTC89::SetModule(TDevicePage* page) {
  TE2MisMem::SetModule(page);
  ShowPanel({"Unused", "CLK", "DO", "ORG", "GND", "DI", "CS", "Unused", "Vcc"});
}

TTaskResult TTC89::InitConnection() {
  const TTaskResult r = TE2MisMem::InitConnection();
  if (r != trSuccess) return r;
  return Connect(0x9001);
}

TTaskResult TTC89::EraseAll() {
  if (!Prepare()) return trDevError;
  return Connected([] {
    TFrame request = MakeRequest(0x9004, 0);
    TFrame reply{};
    return Link().SendCommand(request, reply, true);
  });
}
