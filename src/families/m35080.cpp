#include "families/m35080.h"

#include <algorithm>

#include "devices/taskexec.h"
#include "editor/xhexedit.h"
#include "families/framedpage.h"

void TM35080::SetModule(TDevicePage* page) {
  TE2MEM::SetModule(page);
  if (!MemoryFrame) return;
  SetPinNames({"Unused", "CLK", "DO", "WP", "Vss", "DI", "CS", "HOLD", "Vcc"});
  Te2memoryFrame& f = *MemoryFrame;
  f.EraseBtn.Visible = e2Opr.Contains(oErase);
  f.ShowStatusRegister(true);
}

TTaskResult TM35080::InitConnection() {
  const TTaskResult r = TE2MEM::InitConnection();
  if (r != trSuccess) return r;
  return SendConnectFrame(0x6001, 0, 0);
}

TTaskResult TM35080::Block(std::uint16_t command, int& address, std::uint8_t count,
                           const std::uint8_t* data, std::uint8_t* buffer) {
  TFrame request = MakeRequest(command, static_cast<std::uint32_t>(address));
  request[7] = count;
  if (data) std::copy_n(data, count, request.begin() + 8);
  TFrame reply{};
  std::uint8_t done = 0;
  const TTaskResult r = SendBlockCommand(request, reply, count, done);
  if (r != trSuccess) return r;
  if (buffer) std::copy_n(reply.begin() + 8, done, buffer);
  address += done;
  return trSuccess;
}

TTaskResult TM35080::ReadBlock(int& address, std::uint8_t* buffer) {
  if (address > RangeEnd()) return trSuccess;
  if (address < CounterBytes) {
    const std::uint8_t count = RangeEnd() == address ? 1 : 2;
    return Block(0x6007, address, count, nullptr, buffer);
  }
  return Block(0x6002, address, 1, nullptr, buffer);
}

TTaskResult TM35080::WriteBlock(int& address, const std::uint8_t* data, std::uint8_t count) {
  const int left = RangeEnd() - address + 1;
  if (address < CounterBytes) {
    const int n = std::min(2, left);
    if (n < 1) return trSuccess;
    return Block(0x6006, address, static_cast<std::uint8_t>(n), data, nullptr);
  }
  const int n = std::min<int>({count, left, MaxBlock});
  if (n < 1) return trSuccess;
  return Block(0x6003, address, static_cast<std::uint8_t>(n), data, nullptr);
}

TTaskResult TM35080::DeviceRead() {
  if (!Prepare()) return trDevError;
  return Connected([this] {
    TTaskForm& task = TaskForm();
    int address = RangeStart();
    const int end = RangeEnd();
    while (address <= end && !task.UserBreak) {
      // Counters are always read as whole words.
      if (address < CounterBytes) address &= ~1;
      const TTaskResult r = ReadBlock(address, XHexEdit->Data() + address);
      if (r != trSuccess) return r;
      task.ShowProgress(address);
      ProcessMessages();
    }
    XHexEdit->RefreshView();
    return trSuccess;
  });
}

int TM35080::MarkedBlock(int offset, std::uint8_t& count) const {
  count = 1;
  return BlockStart(offset);
}

TTaskResult TM35080::DeviceProgram() {
  if (!Prepare()) return trDevError;
  return Connected([this] {
    // Counters are written in whole words.
    const TTaskResult r = MemoryFrame->ProgramModifiedOnlyCheck.Checked ? ProgramModified()
                                                                        : WriteRange(1, BlockStart);
    XHexEdit->RefreshView();
    return r;
  });
}

TTaskResult TM35080::EraseAll() {
  if (!Prepare()) return trDevError;
  return Connected([this] {
    TFrame request = MakeRequest(RangeEnd() == ServiceEnd ? 0x6008 : 0x600C);
    TFrame reply{};
    Link().Timeout = 20000;
    const TTaskResult r = Link().SendCommand(request, reply, true);
    Link().Timeout = 10000;
    return r;
  });
}
