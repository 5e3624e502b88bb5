#include "families/mw.h"

#include <algorithm>

#include "families/framedpage.h"

void TMW::SetModule(TDevicePage* page) {
  TE2MEM::SetModule(page);
  if (!MemoryFrame) return;
  SetPinNames({"Unused", "CLK", "DO", "ORG", "Vss", "DI", "CS", "WP", "Vcc"});
  Te2memoryFrame& f = *MemoryFrame;
  f.EraseBtn.Visible = e2Opr.Contains(oErase);
  f.ShowStatusRegister(false);
}

TTaskResult TMW::InitConnection() {
  const TTaskResult r = TE2MEM::InitConnection();
  if (r != trSuccess) return r;
  return SendConnectFrame(0x8001, 0, 0);
}

std::uint32_t TMW::BlockAddress(int offset) const {
  return static_cast<std::uint32_t>(e2org == 16 ? offset / 2 : offset);
}

TTaskResult TMW::ReadBlock(int& address, std::uint8_t* buffer) {
  if (e2org != 16 || (address & 1) == 0) return TE2MEM::ReadBlock(address, buffer);
  std::uint8_t words[64];
  int at = address - 1;
  const TTaskResult r = TE2MEM::ReadBlock(at, words);
  if (r != trSuccess) return r;
  if (at <= address) { // the module gave back less than the word asked for
    Link().ReportResult(trDevFrameError);
    return trDevFrameError;
  }
  std::copy(words + 1, words + (at - address + 1), buffer);
  address = at;
  return trSuccess;
}

TTaskResult TMW::WriteBlock(int& address, const std::uint8_t* data, std::uint8_t count) {
  if (e2org != 16 || (address & 1) == 0) return TE2MEM::WriteBlock(address, data, count);
  // Keep the part's own byte in the half of the word below the range.
  int at = address - 1;
  std::uint8_t word[64];
  TTaskResult r = TE2MEM::ReadBlock(at, word);
  if (r != trSuccess) return r;
  word[1] = data[0];
  at = address - 1;
  r = TE2MEM::WriteBlock(at, word, 2);
  if (r != trSuccess) return r;
  address = std::max(address + 1, at);
  return trSuccess;
}
