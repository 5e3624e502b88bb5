#include "families/e2mismem.h"

#include <algorithm>

#include "devices/taskexec.h"

TE2MisMem::TE2MisMem(const TDevInfo& info) : TE2MEM(info) {
  Module = tmEEPROM_MIS;
}

std::uint32_t TE2MisMem::BlockAddress(int offset) const {
  return static_cast<std::uint32_t>(e2org == 16 ? offset / 2 : offset);
}

TTaskResult TE2MisMem::ReadBlock(int& address, std::uint8_t* buffer) {
  if (!OddWord(address)) return TE2MEM::ReadBlock(address, buffer);
  // A word address cannot name an odd byte: read from the word's first byte
  // and keep the bytes from `address` on, so nothing lands one byte off.
  const int left = RangeEnd() - address + 1;
  if (left < 1) return trSuccess;
  const auto asked = static_cast<std::uint8_t>(std::min<int>(MaxBlock, left + 1));
  TFrame request = MakeRequest(ReadCommand(), BlockAddress(address - 1));
  request[7] = asked;
  TFrame reply{};
  std::uint8_t done = 0;
  TTaskResult r = SendBlockCommand(request, reply, asked, done);
  if (r != trSuccess) return r;
  if (done < 2) {
    // Only the byte before the range came back: no progress is possible.
    Link().ReportResult(trDevFrameError);
    return trDevFrameError;
  }
  std::copy_n(reply.begin() + 9, done - 1, buffer);
  address += done - 1;
  return trSuccess;
}

TTaskResult TE2MisMem::WriteBlock(int& address, const std::uint8_t* data, std::uint8_t count) {
  if (!OddWord(address)) return TE2MEM::WriteBlock(address, data, count);
  if (count < 1 || address > RangeEnd()) return trSuccess;
  // The odd byte shares its word with a byte outside the block: write the
  // word with that byte as the part holds it, then go on word-aligned.
  TFrame request = MakeRequest(ReadCommand(), BlockAddress(address - 1));
  request[7] = 1;
  TFrame reply{};
  std::uint8_t done = 0;
  TTaskResult r = SendBlockCommand(request, reply, 1, done);
  if (r != trSuccess) return r;
  const std::uint8_t kept = reply[8];
  request = MakeRequest(WriteCommand(), BlockAddress(address - 1));
  request[7] = 2;
  request[8] = kept;
  request[9] = data[0];
  r = SendBlockCommand(request, reply, 2, done);
  if (r != trSuccess) return r;
  if (done < 2) {
    Link().ReportResult(trDevFrameError);
    return trDevFrameError;
  }
  address += 1;
  return trSuccess;
}

void TE2MisMem::ShowPanel(const std::array<std::string, 9>& pinNames) {
  SetPinNames(pinNames);
  if (!MemoryFrame) return;
  Te2memoryFrame& f = *MemoryFrame;
  f.EraseBtn.Visible = e2Opr.Contains(oErase);
  f.ClearProtectRegisterBtn.Visible = false;
  f.ShowStatusRegister(false);
}

TTaskResult TE2MisMem::RunWithEEPROMModule(TE2Operation operation,
                                           std::function<TTaskResult()> task, bool withRange) {
  return TaskForm().Execute(operation, Name, std::move(task), tmEEPROM, RangeEnd(),
                            withRange ? RangeStart() : -1);
}

TTaskResult TE2MisMem::ReadStatusRegisterBtnClick() {
  return RunWithEEPROMModule(
      oprReadReg, [this] { return ReadStatusRegister(); }, false);
}
TTaskResult TE2MisMem::WriteStatusRegisterBtnClick() {
  return RunWithEEPROMModule(
      oprSaveReg, [this] { return WriteStatusRegister(); }, false);
}
TTaskResult TE2MisMem::ClearProtectionRegisterBtnClick() {
  return RunWithEEPROMModule(
      oprClearPrReg, [this] { return ClearProtectRegister(); }, true);
}
