#include "families/mws.h"

#include "families/framedpage.h"

void TMWS::SetModule(TDevicePage* page) {
  TMW::SetModule(page);
  if (!MemoryFrame) return;
  SetPinNames({"Unused", "CLK", "DO", "PE", "Vss", "DI", "CS", "PRE", "Vcc"});
  Te2memoryFrame& f = *MemoryFrame;
  f.ReadStatusRegisterBtn.Caption = "Read Protect Register";
  f.WriteStatusRegisterBtn.Caption = "Write Protect Register";
  f.ClearProtectRegisterBtn.Visible = true;
  f.ShowStatusRegister(true);
}

TTaskResult TMWS::InitConnection() {
  const TTaskResult r = TMW::InitConnection();
  if (r != trSuccess) return r;
  return SendConnectFrame(0x8005, 0, 0);
}

TTaskResult TMWS::ReadStatusRegister() {
  if (!Prepare()) return trDevError;
  return Connected([this] {
    TFrame request = MakeRequest(0x8009);
    TFrame reply{};
    const TTaskResult r = Link().SendCommand(request, reply, true);
    if (r == trSuccess) MemoryFrame->SetRegisterValue(reply[8]);
    return r;
  });
}

TTaskResult TMWS::WriteStatusRegister() {
  if (!Prepare()) return trDevError;
  return Connected([this] {
    TFrame request = MakeRequest(0x8008);
    request[8] = static_cast<std::uint8_t>(MemoryFrame->RegisterValue());
    TFrame reply{};
    return Link().SendCommand(request, reply, true);
  });
}

TTaskResult TMWS::ClearProtectRegister() {
  if (!Prepare()) return trDevError;
  return Connected([this] {
    TFrame request = MakeRequest(0x8007);
    TFrame reply{};
    return Link().SendCommand(request, reply, true);
  });
}
