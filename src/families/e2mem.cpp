#include "families/e2mem.h"

#include <algorithm>
#include <functional>

#include "devices/taskexec.h"
#include "editor/xhexedit.h"
#include "families/framedpage.h"
#include "shell/appservices.h"

TE2MEM::TE2MEM(const TDevInfo& info) : TDevice(info) {
  Module = tmEEPROM;
}

int TE2MEM::RangeStart() const {
  return MemoryFrame ? MemoryFrame->RangeStart : 0;
}
int TE2MEM::RangeEnd() const {
  return MemoryFrame ? MemoryFrame->RangeEnd : -1;
}

void TE2MEM::ProcessMessages() {
  Services().ProcessMessages();
}

void TE2MEM::AttachFrames() {
  FramedPage = dynamic_cast<TFramedPage*>(HepPage);
  if (!FramedPage) {
    MemoryFrame = nullptr;
    ConnectionFrame = nullptr;
    return;
  }
  XHexEdit = FramedPage->XHexEdit1;
  MemoryFrame = &FramedPage->E2MemoryFrame;
  ConnectionFrame = &FramedPage->ConnectionPanel;
}

void TE2MEM::SetPinNames(const std::array<std::string, 9>& names) {
  if (ConnectionFrame) ConnectionFrame->SetPinNames(names);
}

bool TE2MEM::UsePage(TFramedPage* owner) {
  if (owner->Device != this) return false;
  HepPage = owner;
  AttachFrames();
  return true;
}

void TE2MEM::WireButtons() {
  Te2memoryFrame& f = *MemoryFrame;
  TFramedPage* page = FramedPage;
  // A button works on the page whose panel it is on: another page sharing
  // this device may have taken it since (its choice came in after this page
  // was brought to the front). A panel left behind on a page that chose
  // another device starts nothing.
  const auto onPage = [this, page](TTaskResult (TE2MEM::*click)()) {
    return [this, page, click] {
      if (UsePage(page)) (this->*click)();
    };
  };
  f.ReadBtn.OnClick = onPage(&TE2MEM::ReadBtnClick);
  f.ProgramBtn.OnClick = onPage(&TE2MEM::ProgramBtnClick);
  f.VerifyBtn.OnClick = onPage(&TE2MEM::VerifyBtnClick);
  f.BlankCheckBtn.OnClick = onPage(&TE2MEM::BlankCheckBtnClick);
  f.EraseBtn.OnClick = onPage(&TE2MEM::EraseBtnClick);
  f.ReadStatusRegisterBtn.OnClick = onPage(&TE2MEM::ReadStatusRegisterBtnClick);
  f.WriteStatusRegisterBtn.OnClick = onPage(&TE2MEM::WriteStatusRegisterBtnClick);
  f.ClearProtectRegisterBtn.OnClick = onPage(&TE2MEM::ClearProtectionRegisterBtnClick);
  f.ProgramModifiedOnlyCheck.OnClick = [page] {
    page->ProgramModifiedOnly = page->E2MemoryFrame.ProgramModifiedOnlyCheck.Checked;
  };
}

void TE2MEM::SetModule(TDevicePage* page) {
  TDevice::SetModule(page);
  AttachFrames();
  if (!FramedPage) {
    // Only a programmer page carries the panels.
    Services().AddMessage("Invalid type conversion");
    return;
  }
  // Two pages may share this device: the page being activated takes it back
  // with its own buffer, range and panels. A page that moved on to another
  // device leaves it alone.
  TFramedPage* owner = FramedPage;
  FramedPage->SetActivationHandler(this, [this, owner] { UsePage(owner); });
  FramedPage->BringToFront(MemoryFrame->Name);
  FramedPage->BringToFront(ConnectionFrame->Name);
  Te2memoryFrame& f = *MemoryFrame;
  f.SetCapacities(static_cast<int>(MemCap), static_cast<int>(e2cap));
  FramedPage->ProgramModifiedOnly = f.ProgramModifiedOnlyCheck.Checked;
  f.ProgramModifiedOnlyCheck.Enabled = true;
  f.ClearProtectRegisterBtn.Visible = false;
  f.ReadStatusRegisterBtn.Caption = "Read Status Register";
  f.WriteStatusRegisterBtn.Caption = "Write Status Register";
  WireButtons();
  SetPinNames({"IRQ", "TxD", "RxD", "TCAP1", "Vss", "PD3", "RESET", "PD4", "Vdd"});
  f.RangeStart = 0;
  f.RangeEnd = static_cast<int>(e2cap) - 1;
  f.ShowRange();
  if (XHexEdit) {
    XHexEdit->SetLastIndex(f.RangeEnd);
    XHexEdit->RefreshView();
    XHexEdit->SetModified(true);
  }
  const bool test = e2Opr.Contains(oTestConnection);
  ConnectionFrame->TestConnectionBtn.Visible = test;
  ConnectionFrame->ContinuousVisible = test;
  if (OnSelectDevice) OnSelectDevice(this, MemoryFrame, ConnectionFrame);
}

void TE2MEM::DetachPage(const TDevicePage* page) {
  TDevice::DetachPage(page);
  if (page && page == FramedPage) {
    FramedPage = nullptr;
    MemoryFrame = nullptr;
    ConnectionFrame = nullptr;
  }
}

bool TE2MEM::Prepare() {
  // Each refusal is one message and one counted error, like a module error.
  if (!CheckPage()) {
    Services().AddError();
    return false;
  }
  if (!MemoryFrame || !ConnectionFrame) {
    Services().AddMessage("Invalid type conversion");
    Services().AddError();
    return false;
  }
  const int start = RangeStart(), end = RangeEnd();
  if (start < 0 || end < start || end >= static_cast<int>(e2cap)) {
    Services().AddMessage("Invalid range " + HexText(start) + " - " + HexText(end) + " for " +
                          Name);
    Services().AddError();
    return false;
  }
  // Blocks are read into and programmed from the buffer at their offsets.
  if (XHexEdit->DataSize() <= end) XHexEdit->SetLastIndex(end);
  return true;
}

TTaskResult TE2MEM::Connected(const std::function<TTaskResult()>& work) {
  TTaskResult r = InitConnection();
  if (r == trSuccess) r = work();
  Link().PowerOff();
  Link().ReleasePins();
  return r;
}

TTaskResult TE2MEM::Run(TE2Operation operation, std::function<TTaskResult()> task, bool withRange) {
  return TaskForm().Execute(operation, Name, std::move(task), Module, RangeEnd(),
                            withRange ? RangeStart() : -1);
}

TFrame TE2MEM::ConnectFrame(std::uint16_t command, std::uint8_t byte13, std::uint8_t byte14) const {
  TFrame request = MakeRequest(command);
  // The module's fields are bytes: a longer time saturates rather than wrapping
  // into a short one (300 ms would otherwise become 44 ms).
  const auto byteOf = [](std::uint32_t v) {
    return static_cast<std::uint8_t>(std::min<std::uint32_t>(v, 0xFF));
  };
  request[8] = byteOf(PowerSetupTime / 10u);
  request[9] = byteOf(e2Tw / 1000u);
  request[10] = byteOf(e2Tc);
  request[11] = e2org;
  request[12] = e2len;
  request[13] = byte13;
  request[14] = byte14;
  if (ConnectionFrame) TUSBInt::SetPinLimits(request, ConnectionFrame->PowerPreset, 0, 0);
  return request;
}

TTaskResult TE2MEM::SendConnectFrame(std::uint16_t command, std::uint8_t byte13,
                                     std::uint8_t byte14) {
  TFrame request = ConnectFrame(command, byte13, byte14);
  TFrame reply{};
  const TTaskResult r = Link().SendCommand(request, reply, true);
  TPinResults results;
  TUSBInt::DecodePinResults(reply, results);
  if (ConnectionFrame) ConnectionFrame->ShowPinResults(results, true);
  return r;
}

TTaskResult TE2MEM::SendBlockCommand(TFrame& request, TFrame& reply, std::uint8_t asked,
                                     std::uint8_t& done) {
  reply.fill(0);
  const TTaskResult r = Link().SendCommand(request, reply, true);
  if (r != trSuccess) return r;
  // A count the request did not ask for would copy past the block or never
  // advance; it is a frame error.
  if (reply[7] == 0 || reply[7] > asked) {
    Link().ReportResult(trDevFrameError);
    return trDevFrameError;
  }
  done = reply[7];
  return trSuccess;
}

TTaskResult TE2MEM::ReadBlock(int& address, std::uint8_t* buffer) {
  const int left = RangeEnd() - address + 1;
  if (left < 1) return trSuccess;
  const auto count = static_cast<std::uint8_t>(std::min<int>(MaxBlock, left));
  TFrame request = MakeRequest(ReadCommand(), BlockAddress(address));
  request[7] = count;
  TFrame reply{};
  std::uint8_t done = 0;
  const TTaskResult r = SendBlockCommand(request, reply, count, done);
  if (r != trSuccess) return r;
  std::copy_n(reply.begin() + 8, done, buffer);
  address += done;
  return trSuccess;
}

TTaskResult TE2MEM::WriteBlock(int& address, const std::uint8_t* data, std::uint8_t count) {
  const int left = RangeEnd() - address + 1;
  const int n = std::min<int>({count, left, MaxBlock});
  if (n < 1) return trSuccess; // nothing of the block is in the range
  TFrame request = MakeRequest(BlockWriteCommand(n), BlockAddress(address));
  request[7] = static_cast<std::uint8_t>(n);
  std::copy_n(data, n, request.begin() + 8);
  TFrame reply{};
  std::uint8_t done = 0;
  const TTaskResult r = SendBlockCommand(request, reply, static_cast<std::uint8_t>(n), done);
  if (r != trSuccess) return r;
  address += done;
  return trSuccess;
}

TTaskResult TE2MEM::DeviceRead() {
  if (!Prepare()) return trDevError;
  return Connected([this] {
    TTaskForm& task = TaskForm();
    int address = RangeStart();
    const int end = RangeEnd();
    while (address <= end && !task.UserBreak) {
      const TTaskResult r = ReadBlock(address, XHexEdit->Data() + address);
      if (r != trSuccess) return r; // the link has counted it
      task.ShowProgress(address);
      ProcessMessages();
    }
    XHexEdit->RefreshView();
    return trSuccess;
  });
}

// Reads the range in blocks and hands each byte read to `check`.
TTaskResult TE2MEM::ReadAndCheck(const std::function<void(int, std::uint8_t)>& check) {
  if (!Prepare()) return trDevError;
  return Connected([this, &check] {
    TTaskForm& task = TaskForm();
    int address = RangeStart();
    const int end = RangeEnd();
    std::uint8_t block[64];
    while (address <= end && !task.UserBreak) {
      const int old = address;
      const TTaskResult r = ReadBlock(address, block);
      if (r != trSuccess) return r;
      for (int i = 0; i < address - old; ++i)
        check(old + i, block[i]);
      task.ShowProgress(address);
      ProcessMessages();
    }
    return trSuccess;
  });
}

TTaskResult TE2MEM::DeviceVerify() {
  return ReadAndCheck([this](int address, std::uint8_t value) {
    const std::uint8_t expected = XHexEdit->Data()[address];
    if (value != expected) TaskForm().VerifyError(address, expected, value);
  });
}

TTaskResult TE2MEM::BlankCheck() {
  return ReadAndCheck([](int address, std::uint8_t value) {
    if (value != 0xFF) TaskForm().BlankCheckError(address, value);
  });
}

TTaskResult TE2MEM::ProgramModified() {
  TModifiedList& list = FramedPage->ModifiedList;
  TTaskForm& task = TaskForm();
  list.IterPos = -1;
  if (list.IsEmpty(true)) return trSuccess;
  const int start = RangeStart(), end = RangeEnd();
  std::int32_t offset = 0;
  while (list.NextOffset(offset)) {
    if (task.UserBreak) break;
    // Marks outside the range are not this operation's.
    if (offset < start || offset > end) continue;
    task.ShowProgress(offset);
    std::uint8_t count = 1;
    int address = MarkedBlock(offset, count);
    const TTaskResult r = WriteBlock(address, XHexEdit->Data() + address, count);
    if (r != trSuccess) return r;
    ProcessMessages();
  }
  return trSuccess;
}

int TE2MEM::MarkedBlock(int offset, std::uint8_t& count) const {
  count = e2org == 16 ? 2 : 1;
  return e2org == 16 ? (offset & ~1) : offset;
}

TTaskResult TE2MEM::DeviceProgram() {
  if (!Prepare()) return trDevError;
  return Connected([this] {
    TTaskResult r = ReadRangeEndFirst();
    if (r != trSuccess) return r;
    r = MemoryFrame->ProgramModifiedOnlyCheck.Checked ? ProgramModified() : WriteRange(WriteChunk);
    XHexEdit->RefreshView();
    return r;
  });
}

TTaskResult TE2MEM::ReadRangeEndFirst() {
  if (Alg != 1) return trSuccess;
  std::uint8_t scratch[64];
  int at = RangeEnd();
  return ReadBlock(at, scratch);
}

TTaskResult TE2MEM::WriteRange(std::uint8_t chunk, const std::function<int(int)>& align) {
  TTaskForm& task = TaskForm();
  int address = RangeStart();
  const int end = RangeEnd();
  while (address <= end && !task.UserBreak) {
    if (align) address = align(address);
    const TTaskResult r = WriteBlock(address, XHexEdit->Data() + address, chunk);
    if (r != trSuccess) return r;
    task.ShowProgress(address);
    ProcessMessages();
  }
  return trSuccess;
}

TTaskResult TE2MEM::ReadStatusRegister() {
  if (!Prepare()) return trDevError;
  return Connected([this] {
    TFrame request = MakeRequest(0x6004);
    TFrame reply{};
    const TTaskResult r = Link().SendCommand(request, reply, true);
    if (r == trSuccess) MemoryFrame->SetRegisterValue(reply[8]);
    return r;
  });
}

TTaskResult TE2MEM::WriteStatusRegister() {
  if (!Prepare()) return trDevError;
  return Connected([this] {
    TFrame request = MakeRequest(0x6005);
    request[8] = static_cast<std::uint8_t>(MemoryFrame->RegisterValue());
    TFrame reply{};
    return Link().SendCommand(request, reply, true);
  });
}

TTaskResult TE2MEM::EraseAll() {
  if (!Prepare()) return trDevError;
  return Connected([this] {
    TFrame request = MakeRequest(0x8004, e2Tera);
    TFrame reply{};
    return Link().SendCommand(request, reply, true);
  });
}

TTaskResult TE2MEM::ReadBtnClick() {
  return Run(oprRead, [this] { return DeviceRead(); });
}
TTaskResult TE2MEM::ProgramBtnClick() {
  return Run(oprProgram, [this] { return DeviceProgram(); });
}
TTaskResult TE2MEM::VerifyBtnClick() {
  return Run(oprVerify, [this] { return DeviceVerify(); });
}
TTaskResult TE2MEM::BlankCheckBtnClick() {
  return Run(oprBlank, [this] { return BlankCheck(); });
}
TTaskResult TE2MEM::EraseBtnClick() {
  return Run(oprErase, [this] { return EraseAll(); });
}
TTaskResult TE2MEM::ReadStatusRegisterBtnClick() {
  return Run(
      oprReadReg, [this] { return ReadStatusRegister(); }, false);
}
TTaskResult TE2MEM::WriteStatusRegisterBtnClick() {
  return Run(
      oprSaveReg, [this] { return WriteStatusRegister(); }, false);
}
TTaskResult TE2MEM::ClearProtectionRegisterBtnClick() {
  return Run(oprClearPrReg, [this] { return ClearProtectRegister(); });
}
