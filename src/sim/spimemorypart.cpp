#include "sim/spimemorypart.h"

#include <algorithm>

#include "sim/pinmodel.h"

TSpiMemoryPart::TSpiMemoryPart(std::uint32_t capacity, std::uint32_t pageSize)
    : Memory(capacity, 0xFF), Page(pageSize), PageData(pageSize), PageSet(pageSize) {}

bool TSpiMemoryPart::Busy(std::uint64_t nowUs) const {
  return BusyForever || nowUs < BusyUntil;
}

std::uint8_t TSpiMemoryPart::StatusRegister(std::uint64_t nowUs) const {
  return static_cast<std::uint8_t>(Status | (Wel ? 0x02 : 0) | (Busy(nowUs) ? 0x01 : 0));
}

void TSpiMemoryPart::StartCycle(std::uint64_t nowUs, std::uint64_t us) {
  BusyUntil = nowUs + us;
  BusyForever = Faults.StaysBusy;
  Wel = false;
}

void TSpiMemoryPart::Select(std::uint64_t nowUs) {
  Op = TOp::None;
  Opcode = 0;
  AddressLeft = -1;
  Written = 0;
  StatusBytes = 0;
  std::fill(PageSet.begin(), PageSet.end(), false);
  // During a write cycle only RDSR is answered; a held or unpowered part nothing.
  Ignored = !Powered || !HoldHigh;
  BusyNow = Busy(nowUs);
  Now = nowUs;
}

TSpiMemoryPart::TOp TSpiMemoryPart::Decode(std::uint8_t opcode, std::uint32_t& address) const {
  (void)address;
  switch (opcode) {
  case 0x06:
    return TOp::Wren;
  case 0x04:
    return TOp::Wrdi;
  case 0x05:
    return TOp::Rdsr;
  case 0x01:
    return TOp::Wrsr;
  case 0x03:
    return TOp::Read;
  case 0x02:
    return TOp::Write;
  default:
    return TOp::Other;
  }
}

std::uint8_t TSpiMemoryPart::Exchange(std::uint8_t in) {
  const std::uint8_t out = Shift(in);
  if (Faults.StuckDO == TTargetDrive::None) return out;
  return Faults.StuckDO == TTargetDrive::High ? 0xFF : 0x00;
}

std::uint8_t TSpiMemoryPart::Shift(std::uint8_t in) {
  if (Ignored) return 0; // DO floats and reads low
  if (Op == TOp::None) {
    Opcode = in;
    Address = 0;
    Op = Decode(in, Address);
    if (BusyNow && Op != TOp::Rdsr) {
      Ignored = true;
      return 0;
    }
    AddressLeft = AddressBytes();
    if (Op == TOp::Wren) Wel = true;
    if (Op == TOp::Wrdi) Wel = false;
    return 0;
  }
  switch (Op) {
  case TOp::Rdsr:
    return StatusRegister(Now);
  case TOp::Wrsr:
    if (StatusBytes++ == 0) NewStatus = in;
    return 0;
  case TOp::Read:
  case TOp::Write:
    if (AddressLeft > 0) {
      Address = (Address << 8) | in;
      if (--AddressLeft == 0) {
        Address %= Capacity();
        PageBase = Address - Address % Page;
        PagePos = Address % Page;
      }
      return 0;
    }
    if (Op == TOp::Read) {
      const std::uint8_t out = Memory[Address];
      Address = (Address + 1) % Capacity(); // reads run on and roll over
      return out;
    }
    // The page buffer wraps within its page; later bytes replace earlier ones.
    PageData[PagePos] = in;
    PageSet[PagePos] = true;
    PagePos = (PagePos + 1) % Page;
    ++Written;
    return 0;
  case TOp::Other:
    return OtherByte(in);
  default:
    return 0;
  }
}

void TSpiMemoryPart::Deselect(std::uint64_t nowUs) {
  if (Ignored || Op == TOp::None) return;
  if (Op == TOp::Wrsr && StatusBytes > 0 && Wel) {
    const bool locked = (Status & 0x80) && !WpHigh;
    if (!locked && !Faults.WriteNotStick)
      Status =
          static_cast<std::uint8_t>((Status & ~WritableStatus()) | (NewStatus & WritableStatus()));
    StartCycle(nowUs, WriteCycleUs);
  } else if (Op == TOp::Write && Written > 0 && AddressLeft == 0 && Wel) {
    if (AcceptWrite(PageBase) && !Faults.WriteNotStick)
      for (std::uint32_t i = 0; i < Page; ++i)
        if (PageSet[i] && !Protected(PageBase + i)) Program(PageBase + i, PageData[i]);
    StartCycle(nowUs, WriteCycleUs);
  } else if (Op == TOp::Other) {
    const std::uint64_t us = OtherDone(nowUs);
    if (us) StartCycle(nowUs, us);
  }
}

std::uint32_t TSpiMemoryPart::ProtectedFrom() const {
  switch ((Status >> 2) & 3) {
  case 1:
    return Capacity() - Capacity() / 4;
  case 2:
    return Capacity() / 2;
  case 3:
    return 0;
  default:
    return Capacity();
  }
}

bool TSpiMemoryPart::Protected(std::uint32_t address) const {
  return address >= ProtectedFrom();
}

TTargetDrive TSpiMemoryPart::Drive(int pin) const {
  if (pin == PinP3 && Faults.StuckDO != TTargetDrive::None) return Faults.StuckDO;
  return TTargetDrive::None;
}

void TSpiMemoryPart::PinsChanged(const TPinModel& pins) {
  const bool on = pins.SupplyOn();
  if (!on && Powered) { // power-up state: write latch reset, no cycle
    Wel = false;
    BusyUntil = 0;
    BusyForever = false;
  }
  Powered = on;
  if (!on) return;
  WpHigh = pins.High(PinP4);
  HoldHigh = pins.High(PinP8);
}
